// Errors of the multi-part join. Each carries the string-table id of the message that the
// archive component reports for it (and, for some ids, the number that fills its text).
#pragma once

#include <stdexcept>
#include <string>

namespace span {

// String-table ids raised by the join and by part sources.
namespace msg {
constexpr int kPartNotFound = 11001;         // a part cannot be opened
constexpr int kUserCancel = 11007;           // Cancel in a disk prompt (never shown in a box)
constexpr int kDirectorySeek = 11008;        // seeking or skipping in the central directory
constexpr int kCreateJoined = 11009;         // the joined file cannot be created
constexpr int kLocalHeaderRead = 11012;
constexpr int kCentralHeaderRead = 11013;
constexpr int kLocalSignature = 11014;
constexpr int kCentralSignature = 11015;
constexpr int kLocalName = 11016;
constexpr int kCentralName = 11017;
constexpr int kLocalExtra = 11018;
constexpr int kCentralExtra = 11019;
constexpr int kDataDescriptor = 11020;
constexpr int kMemberData = 11021;
constexpr int kCentralComment = 11022;
constexpr int kArchiveComment = 11023;
constexpr int kUnknownJoinError = 11024;
constexpr int kUnattendedPrompt = 11025;      // a prompt would be needed but none may be shown
constexpr int kNameNotInDirectory = 11026;    // a local header whose name the directory lacks
constexpr int kTempFileName = 11027;
constexpr int kLocalHeaderWrite = 11028;
constexpr int kCentralHeaderWrite = 11029;
constexpr int kEndRecordWrite = 11030;
constexpr int kNoSpanMarker = 11031;
constexpr int kNotAnArchive = 11036;
constexpr int kFirstPartListed = 11037;       // part 001 has no end record
constexpr int kPartHasNoEndRecord = 11038;    // part %d has no end record
}  // namespace msg

// A failure of the join: the id of its message and, when the text takes one, a number.
class SpanError : public std::runtime_error {
 public:
  explicit SpanError(int id);
  SpanError(int id, int number);

  int Id() const { return id_; }
  bool HasNumber() const { return hasNumber_; }
  int Number() const { return number_; }

 private:
  int id_;
  bool hasNumber_;
  int number_;
};

}  // namespace span

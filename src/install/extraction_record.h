// What one extraction did to each member, as the archive component reports it: which of the
// files it announced were written, and what failed. The library reports a member's failure
// by a message with a non-zero error code after the member's start; its result counts the
// members that went well.
#pragma once

#include "member_failure.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace install {

class ExtractionRecord {
 public:
  struct Member {
    std::string name;  // as reported, relative to the target folder
    bool written = true;
  };

  // The library begins to write a member: the member before it is done.
  void MemberStarted(const std::string& name);
  // A message of the library; a non-zero error code is a failure, of the member being
  // written when there is one, else of the member the message names. Returns the failure.
  std::optional<MemberFailure> Message(int errorCode, const std::string& text);
  // After the extraction: when the members taken for written do not add up to the library's
  // count of members that went well, the files on disk decide which were written.
  void Reconcile(int successCount, const std::function<bool(const std::string& name)>& onDisk);

  const std::vector<Member>& Members() const { return members_; }
  int WrittenCount() const;
  // What failed, in the order reported: the library's failures, and the members that are
  // missing on disk without a message.
  const std::vector<MemberFailure>& Failures() const { return failures_; }

 private:
  void AttributeToMessage(const std::string& member);

  std::vector<Member> members_;
  std::vector<MemberFailure> failures_;
  bool memberOpen_ = false;  // the last member started has had no failure reported yet
};

// The text of the failure report: the heading, the first `shown` failures one a line, and,
// when there are more, the line for the rest with "%d" replaced by their count.
std::string FailureReport(const std::vector<std::string>& failures, const std::string& heading,
                          const std::string& moreLine, size_t shown);

}  // namespace install

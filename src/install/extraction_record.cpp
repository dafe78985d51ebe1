#include "extraction_record.h"

namespace install {

void ExtractionRecord::MemberStarted(const std::string& name) {
  members_.push_back({name, true});
  memberOpen_ = true;
}

std::optional<MemberFailure> ExtractionRecord::Message(int errorCode, const std::string& text) {
  if (errorCode == 0) return std::nullopt;
  failures_.push_back({memberOpen_ ? members_.back().name : NameInMessage(text), errorCode, text});
  if (memberOpen_) {
    members_.back().written = false;
    memberOpen_ = false;
  }
  return failures_.back();
}

void ExtractionRecord::Reconcile(int successCount, const std::function<bool(const std::string& name)>& onDisk) {
  memberOpen_ = false;
  if (WrittenCount() == successCount) return;
  for (Member& member : members_) {
    const bool exists = onDisk(member.name);
    if (member.written && !exists) failures_.push_back({member.name, kMissingOnDisk, ""});
    if (!member.written && exists) AttributeToMessage(member.name);
    member.written = exists;
  }
}

// The member is on disk after all: its failure was about what the message names.
void ExtractionRecord::AttributeToMessage(const std::string& member) {
  for (MemberFailure& failure : failures_)
    if (failure.name == member && failure.errorCode != kMissingOnDisk) failure.name = NameInMessage(failure.message);
}

int ExtractionRecord::WrittenCount() const {
  int written = 0;
  for (const Member& member : members_) written += member.written ? 1 : 0;
  return written;
}

std::string FailureReport(const std::vector<std::string>& failures, const std::string& heading,
                          const std::string& moreLine, size_t shown) {
  std::string text = heading;
  for (size_t i = 0; i < failures.size() && i < shown; ++i) text += "\r\n" + failures[i];
  if (failures.size() > shown) {
    std::string more = moreLine;
    const size_t at = more.find("%d");
    if (at != std::string::npos) more.replace(at, 2, std::to_string(failures.size() - shown));
    text += "\r\n" + more;
  }
  return text;
}

}  // namespace install

// Why a member of the archive was not installed: the unzip library's error code, told in the
// user's language through the language files' keys rather than in the library's English.
#pragma once

#include <string>

namespace install {

// A member that the library wrote without a failure but that is not on disk afterwards.
constexpr int kMissingOnDisk = -1;

struct MemberFailure {
  std::string name;     // relative to the target folder; empty when the message names none
  int errorCode = 0;    // the library's (unzip_abi.h), or kMissingOnDisk
  std::string message;  // the library's own text
};

// The key in the language files' "Misc" section and the German text for an error code.
struct ReasonText {
  const char* key;
  const char* germanDefault;
};
ReasonText FailureReason(int errorCode);

// The member a library message names: the text after its first ": " with backslashes as
// separators, or "" without one.
std::string NameInMessage(const std::string& message);

}  // namespace install

// The state of the machine that an installation can change, to compare before and after a
// run: every file and folder below C:\ (its size, time of last write and attributes) and
// every key and value below HKEY_LOCAL_MACHINE\Software and in HKEY_CURRENT_USER (type and
// bytes). What Wine itself changes while programs run is left out; the caller names it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace e2e {

class MachineState {
 public:
  // `ignored`: places ("C:\...", "HKLM\Software\...", "HKCU\...") left out with everything below.
  explicit MachineState(std::vector<std::string> ignored);

  // What differs from an earlier state, one line an entry: "+ " added, "- " gone, "~ " changed.
  std::vector<std::string> ChangesSince(const MachineState& earlier) const;

 private:
  void AddFiles(const std::string& folder);
  void AddKeys(void* root, const std::string& path, const std::string& shown);
  bool Ignored(const std::string& name) const;

  std::vector<std::string> ignored_;
  std::map<std::string, std::string> entries_;
};

}  // namespace e2e

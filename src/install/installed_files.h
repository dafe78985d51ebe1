// The InstalledFiles section of the copied Setup.inf, built whole so that it can be written
// with one call: Count, the installed files numbered from 0, then the copy itself.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace install {

using ProfileLines = std::vector<std::pair<std::string, std::string>>;

// `existing` is what the copy already holds in the section (taken over from the medium's
// Setup.inf). Its lines keep their places, a key written here gets the new value, and the keys
// it lacks follow in their order: the content that writing the keys one by one leaves.
ProfileLines InstalledFilesSection(const ProfileLines& existing, const std::vector<std::string>& files,
                                   const std::string& copyPath);

}  // namespace install

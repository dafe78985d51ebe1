#include "setup_description.h"

namespace setupinf {

Key SetupImage(int number) {
  static const char* const kNames[kSetupImageCount] = {"SetupImage1", "SetupImage2", "SetupImage3", "SetupImage4",
                                                       "SetupImage5", "SetupImage6", "SetupImage7", "SetupImage8"};
  return {kBackground.section, kNames[number - 1], ""};
}

const std::vector<KnownSection>& KnownSections() {
  static const std::vector<KnownSection> known = [] {
    std::vector<KnownSection> sections = {
        {"Program", {kProgramName.name, kProgramEntry.name}},
        {"Setup", {kBackground.name}},
        {"Defaults", {kLanguage.name, kFirstPage.name, kFixedLanguage.name}},
        {"Uninstall",
         {kUninstallEntry.name, kDisplayName.name, kUninstallString.name, kPublisher.name, kDisplayVersion.name}},
        {"Group", {kGroupName.name}},
        {kGroupEntries, {"*"}},
        {"Autostart", {kAutostartExe.name, kAutostartName.name}},
    };
    for (int n = 1; n <= kSetupImageCount; ++n) sections[1].keys.push_back(SetupImage(n).name);
    return sections;
  }();
  return known;
}

}  // namespace setupinf

namespace setupreg {

const std::vector<const char*>& ProgramEntryValues() {
  static const std::vector<const char*> values = {kProgramPath, kSleepMode, kFixed, kLanguage, kCommunication};
  return values;
}

const std::vector<const char*>& UninstallEntryValues() {
  static const std::vector<const char*> values = {kDisplayName,     kUninstallString, kDisplayIcon,
                                                  kInstallLocation, kEstimatedSize,   kNoModify,
                                                  kNoRepair,        kPublisher,       kDisplayVersion};
  return values;
}

}  // namespace setupreg

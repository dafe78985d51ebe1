// The setup description file (Setup.inf) and the registry entries an installation writes:
// every section, key and default that setup, the uninstaller and make-medium use, in one
// place. Values are always read through the profile functions at the moment they are needed;
// nothing here holds a parsed copy.
#pragma once

#include <string>
#include <vector>

namespace setupinf {

// One key of the file with the default its readers use when the key is missing.
struct Key {
  const char* section;
  const char* name;
  const char* fallback;
};

inline constexpr char kFileName[] = "Setup.inf";
// The archive and the licence beside it on the medium.
inline constexpr char kArchiveName[] = "Setup.zip";
inline constexpr char kLicenceName[] = "Licence.txt";
// The target-folder dialog's file: only its Program/Programname is read.
inline constexpr char kSetupIniName[] = "setup.ini";

inline constexpr Key kProgramName{"Program", "Programname", ""};
inline constexpr Key kProgramEntry{"Program", "ProgramEntry", "Talvenor"};

inline constexpr Key kBackground{"Setup", "Background", ""};
inline constexpr int kSetupImageCount = 8;
// SetupImage1 to SetupImage8, side pictures of the wizard pages.
Key SetupImage(int number);

inline constexpr Key kLanguage{"Defaults", "Sprache", "german.lng"};
inline constexpr Key kFirstPage{"Defaults", "firstpage", "english.lng"};
inline constexpr Key kFixedLanguage{"Defaults", "fixed", "0"};
inline constexpr char kFixedOn[] = "1";

// "Uninstall" and "UnInstall" name the same section: the profile functions ignore case.
inline constexpr Key kUninstallEntry{"Uninstall", "UnInstallEntry", "Talvenor"};
inline constexpr Key kDisplayName{"UnInstall", "DisPlayName", "Talvenor"};
inline constexpr Key kUninstallString{"UnInstall", "UninstallString", "UnInstall.exe"};
inline constexpr Key kPublisher{"UnInstall", "Publisher", ""};
inline constexpr Key kDisplayVersion{"UnInstall", "DisplayVersion", ""};

inline constexpr Key kGroupName{"Group", "Groupname", ""};
// Any key: the link's name; its value, the program relative to the target folder.
inline constexpr char kGroupEntries[] = "GroupEntries";

inline constexpr Key kAutostartExe{"Autostart", "ExeString", ""};
inline constexpr Key kAutostartName{"Autostart", "Description", ""};

// Written into the copy in the target folder: Count, then "0" to Count - 1, the copy last.
inline constexpr char kInstalledFiles[] = "InstalledFiles";
inline constexpr char kInstalledFilesCount[] = "Count";

// The sections setup reads and their keys ("*": any key), for checking a medium.
struct KnownSection {
  const char* name;
  std::vector<std::string> keys;
};
const std::vector<KnownSection>& KnownSections();

}  // namespace setupinf

// The registry entries below HKEY_LOCAL_MACHINE that an installation writes and its
// uninstaller removes, and the ones setup only reads.
namespace setupreg {

// The program entry: the key that Program/ProgramEntry names.
inline constexpr char kProgramPath[] = "Programmpfad";
inline constexpr char kSleepMode[] = "sleepmode";
inline constexpr char kFixed[] = "fixed";
inline constexpr char kLanguage[] = "Sprache";
inline constexpr char kCommunication[] = "Kommunikation";

// The uninstall entry: this key followed by Uninstall/UnInstallEntry.
inline constexpr char kUninstallRoot[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kDisplayName[] = "DisplayName";
inline constexpr char kUninstallString[] = "UnInstallstring";
inline constexpr char kDisplayIcon[] = "DisplayIcon";
inline constexpr char kInstallLocation[] = "InstallLocation";
inline constexpr char kEstimatedSize[] = "EstimatedSize";
inline constexpr char kNoModify[] = "NoModify";
inline constexpr char kNoRepair[] = "NoRepair";
inline constexpr char kPublisher[] = "Publisher";
inline constexpr char kDisplayVersion[] = "DisplayVersion";

// Every value of each entry, in the order the installation writes them.
const std::vector<const char*>& ProgramEntryValues();
const std::vector<const char*>& UninstallEntryValues();

// Read only: the base of the proposed target folder.
inline constexpr char kCurrentVersionKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kProgramFilesDir[] = "ProgramFilesDir";

// The uninstaller's link in the program group.
inline constexpr char kUninstallLinkName[] = "UnInstall";

}  // namespace setupreg

// Builds an installation medium: checks the inputs, writes the medium folder with Setup.zip
// (or a numbered multi-part set) and verifies the archive with the extraction engine.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace medium {

struct BuildOptions {
  std::vector<std::string> payloads;  // folders whose files are installed (merged)
  std::string setupInf;
  std::string windowsBuild;  // holds bin/setup.exe, bin/UnInstall.exe, medium-bin/UNZIPLIB.DLL
  std::string output;        // the medium folder; must be absent or empty
  std::vector<std::string> languages;
  std::vector<std::string> pictures;
  std::vector<std::string> extraFiles;  // copied beside setup.exe as they are (setup.ini)
  std::string licence;                  // copied as Licence.txt
  uint64_t partSize = 0;                // 0: one Setup.zip
  std::string diskFolders;              // not empty: one folder per disk of the set, too
};

// Returns 0 when the medium was written and verified, 1 otherwise. Findings, the listing
// and the summary go to `out`.
int BuildMedium(const BuildOptions& options, std::ostream& out);

// "1457664", "1440k", "100M": bytes; 0 when the text is no size.
uint64_t ParsePartSize(const std::string& text);

}  // namespace medium

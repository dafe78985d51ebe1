// Builds an installation medium: checks the inputs, signs the medium's programs when asked,
// writes the medium folder with Setup.zip (or a numbered multi-part set) and verifies the
// archive with the extraction engine and the signatures with the signing tool.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "signing.h"

namespace medium {

// The builder's exit codes, as its help lists them.
enum ExitCode : int {
  kWritten = 0,  // written and verified
  kRefused = 1,  // the checks found errors (named); nothing was written
  kBadCommandLine = 2,
  kInputOutput = 3,  // a file could not be read or written, or the written medium does not verify
};

struct BuildOptions {
  std::vector<std::string> payloads;  // folders whose files are installed (merged)
  std::string setupInf;
  std::string windowsBuild;  // holds bin/setup.exe, bin/UnInstall.exe, medium-bin/UNZIPLIB.DLL
  std::string programs;      // or: holds setup.exe, UnInstall.exe and UNZIPLIB.DLL
  std::string output;        // the medium folder; must be absent or empty
  std::vector<std::string> languages;
  std::vector<std::string> pictures;
  std::vector<std::string> extraFiles;  // copied beside setup.exe as they are (setup.ini)
  std::string licence;                  // copied as Licence.txt
  uint64_t partSize = 0;                // 0: one Setup.zip
  std::string diskFolders;              // not empty: one folder per disk of the set, too
  SigningOptions signing;
  bool verbose = false;   // list every member
  bool progress = false;  // the output is a terminal: show a progress line for large payloads
};

// Findings, the listing and the summary go to `out`.
ExitCode BuildMedium(const BuildOptions& options, std::ostream& out);

// "1457664", "1440k", "100M": bytes; 0 when the text is no size.
uint64_t ParsePartSize(const std::string& text);

}  // namespace medium

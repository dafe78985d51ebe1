// make-medium: builds a checked installation medium from a payload folder and a Setup.inf.
#include <cstring>
#include <iostream>
#include <string>

#include "medium_builder.h"

namespace {

const char kUsage[] =
    "usage: make-medium --payload DIR [--payload DIR ...] --inf Setup.inf --windows-build DIR --out DIR\n"
    "                   [--language FILE.lng ...] [--licence FILE] [--picture FILE ...] [--file FILE ...]\n"
    "                   [--part-size BYTES[k|M] [--disk-folders DIR]]\n"
    "\n"
    "  --payload DIR        files to install (several folders are merged)\n"
    "  --inf FILE           the setup description, copied as Setup.inf\n"
    "  --windows-build DIR  Windows build folder with bin/setup.exe, bin/UnInstall.exe, medium-bin/UNZIPLIB.DLL\n"
    "  --out DIR            the medium folder to write (absent or empty)\n"
    "  --language FILE      a language file (*.lng)\n"
    "  --licence FILE       the licence text, copied as Licence.txt\n"
    "  --picture FILE       a picture that a key of Setup.inf names\n"
    "  --file FILE          another file beside setup.exe (setup.ini)\n"
    "  --part-size SIZE     write Setup.zip as a numbered set of parts of at most SIZE bytes\n"
    "  --disk-folders DIR   also one folder per disk, for removable media\n"
    "\n"
    "SOURCE_DATE_EPOCH, when set, caps the files' times and makes the medium reproducible.\n";

bool Fail(const std::string& text) {
  std::cerr << "make-medium: " << text << "\n\n" << kUsage;
  return false;
}

bool ParseArguments(int argc, char** argv, medium::BuildOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      std::exit(0);
    }
    if (i + 1 >= argc) return Fail(option + " needs a value");
    const std::string value = argv[++i];
    if (option == "--payload") o.payloads.push_back(value);
    else if (option == "--inf") o.setupInf = value;
    else if (option == "--windows-build") o.windowsBuild = value;
    else if (option == "--out") o.output = value;
    else if (option == "--language") o.languages.push_back(value);
    else if (option == "--licence") o.licence = value;
    else if (option == "--picture") o.pictures.push_back(value);
    else if (option == "--file") o.extraFiles.push_back(value);
    else if (option == "--disk-folders") o.diskFolders = value;
    else if (option == "--part-size") {
      o.partSize = medium::ParsePartSize(value);
      if (o.partSize == 0) return Fail("--part-size " + value + " is no size");
    } else {
      return Fail("unknown option " + option);
    }
  }
  if (o.payloads.empty() || o.setupInf.empty() || o.windowsBuild.empty() || o.output.empty())
    return Fail("--payload, --inf, --windows-build and --out are needed");
  if (!o.diskFolders.empty() && o.partSize == 0) return Fail("--disk-folders needs --part-size");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  medium::BuildOptions options;
  if (!ParseArguments(argc, argv, options)) return 2;
  return medium::BuildMedium(options, std::cout);
}

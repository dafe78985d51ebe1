// make-medium: builds a checked installation medium from a payload folder and a Setup.inf.
#include <cstdio>
#include <iostream>
#include <string>

#include "host.h"
#include "medium_builder.h"

namespace {

const char kUsage[] =
    "usage: make-medium --payload DIR [--payload DIR ...] --inf Setup.inf (--programs DIR | --windows-build DIR)\n"
    "                   --out DIR [--language FILE.lng ...] [--licence FILE] [--picture FILE ...] [--file FILE ...]\n"
    "                   [--part-size BYTES[k|M] [--disk-folders DIR]]\n"
    "                   [--sign-pkcs12 FILE --sign-password-env VAR [--timestamp URL]] [--verbose]\n"
    "\n"
    "  --payload DIR            files to install (several folders are merged)\n"
    "  --inf FILE               the setup description, copied as Setup.inf\n"
    "  --programs DIR           folder with setup.exe, UnInstall.exe and UNZIPLIB.DLL\n"
    "  --windows-build DIR      or a Windows build folder (bin/setup.exe, bin/UnInstall.exe, medium-bin/UNZIPLIB.DLL)\n"
    "  --out DIR                the medium folder to write (absent or empty)\n"
    "  --language FILE          a language file (*.lng)\n"
    "  --licence FILE           the licence text, copied as Licence.txt\n"
    "  --picture FILE           a picture that a key of Setup.inf names\n"
    "  --file FILE              another file beside setup.exe (setup.ini)\n"
    "  --part-size SIZE         write Setup.zip as a numbered set of parts of at most SIZE bytes\n"
    "  --disk-folders DIR       also one folder per disk, for removable media\n"
    "  --sign-pkcs12 FILE       sign setup.exe, the uninstaller and UNZIPLIB.DLL with this certificate and key\n"
    "                           (osslsigncode and openssl on Linux, signtool.exe on Windows, from the PATH)\n"
    "  --sign-password-env VAR  the environment variable that holds the file's password\n"
    "  --timestamp URL          have the signatures time-stamped by this RFC 3161 server\n"
    "  --verbose                list every member of the archive\n"
    "\n"
    "SOURCE_DATE_EPOCH, when set, caps the files' times and makes the medium reproducible.\n"
    "\n"
    "Exit codes: 0 the medium was written and verified; 1 refused, the errors are named and nothing\n"
    "was written; 2 bad command line; 3 input/output failure (a file could not be read or written,\n"
    "or the written medium did not verify).\n";

bool Fail(const std::string& text) {
  std::cerr << "make-medium: " << text << "\n\n" << kUsage;
  return false;
}

// An option without a value; false when `option` is none.
bool TakeFlag(const std::string& option, medium::BuildOptions& o) {
  if (option == "--verbose")
    o.verbose = true;
  else
    return false;
  return true;
}

// An option with a value; false when `option` is none.
bool TakeValue(const std::string& option, const std::string& value, medium::BuildOptions& o) {
  std::string* single = nullptr;
  std::vector<std::string>* list = nullptr;
  if (option == "--payload")
    list = &o.payloads;
  else if (option == "--language")
    list = &o.languages;
  else if (option == "--picture")
    list = &o.pictures;
  else if (option == "--file")
    list = &o.extraFiles;
  else if (option == "--inf")
    single = &o.setupInf;
  else if (option == "--windows-build")
    single = &o.windowsBuild;
  else if (option == "--programs")
    single = &o.programs;
  else if (option == "--out")
    single = &o.output;
  else if (option == "--licence")
    single = &o.licence;
  else if (option == "--disk-folders")
    single = &o.diskFolders;
  else if (option == "--sign-pkcs12")
    single = &o.signing.pkcs12;
  else if (option == "--sign-password-env")
    single = &o.signing.passwordVariable;
  else if (option == "--timestamp")
    single = &o.signing.timestampUrl;
  else
    return false;
  if (list)
    list->push_back(value);
  else
    *single = value;
  return true;
}

bool Complete(const medium::BuildOptions& o) {
  if (o.payloads.empty() || o.setupInf.empty() || o.output.empty())
    return Fail("--payload, --inf and --out are needed");
  if (o.programs.empty() == o.windowsBuild.empty()) return Fail("give either --programs or --windows-build");
  if (!o.diskFolders.empty() && o.partSize == 0) return Fail("--disk-folders needs --part-size");
  if (o.signing.pkcs12.empty() != o.signing.passwordVariable.empty())
    return Fail("--sign-pkcs12 and --sign-password-env go together");
  if (!o.signing.timestampUrl.empty() && o.signing.pkcs12.empty()) return Fail("--timestamp needs --sign-pkcs12");
  return true;
}

// False after a bad command line; `help` when the usage is all that is asked for.
bool ParseArguments(const std::vector<std::string>& args, medium::BuildOptions& o, bool& help) {
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& option = args[i];
    help = option == "--help" || option == "-h";
    if (help) return true;
    if (TakeFlag(option, o)) continue;
    if (i + 1 >= args.size()) return Fail(option + " needs a value");
    const std::string& value = args[++i];
    if (option == "--part-size") {
      o.partSize = medium::ParsePartSize(value);
      if (o.partSize == 0) return Fail("--part-size " + value + " is no size");
    } else if (!TakeValue(option, value, o)) {
      return Fail("unknown option " + option);
    }
  }
  return Complete(o);
}

}  // namespace

int main(int argc, char** argv) {
  medium::host::ConsoleText console;
  medium::BuildOptions options;
  bool help = false;
  if (!ParseArguments(medium::host::Arguments(argc, argv), options, help)) return medium::kBadCommandLine;
  if (help) {
    std::cout << kUsage;
    return medium::kWritten;
  }
  options.progress = medium::host::IsTerminal(stdout);
  return medium::BuildMedium(options, std::cout);
}

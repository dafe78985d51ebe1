#include "medium_builder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "file_parts.h"
#include "findings.h"
#include "medium_checks.h"
#include "part_names.h"
#include "posix_files.h"
#include "central_directory.h"
#include "unzip_engine.h"
#include "zip_writer.h"

namespace medium {

namespace fs = std::filesystem;

namespace {

const char kArchiveName[] = "Setup.zip";

std::optional<std::string> ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteWhole(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  out.close();
  return bool(out);
}

std::string AsText(const zipwrite::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

struct PayloadFile {
  std::string name;  // below the payload folder, "/" separators
  fs::path path;
  std::time_t modified = 0;
};

std::vector<PayloadFile> CollectPayload(const std::vector<std::string>& folders, Findings& findings) {
  std::map<std::string, PayloadFile> files;  // sorted by name: the archive's order
  for (const std::string& folder : folders) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
      findings.Error(folder, "", "the payload folder does not exist");
      continue;
    }
    for (auto it = fs::recursive_directory_iterator(folder, error); !error && it != fs::end(it); it.increment(error)) {
      const std::string name = fs::relative(it->path(), folder).generic_string();
      if (it->is_directory()) {
        if (it->is_symlink()) findings.Error("payload", name, "is a link to a folder, which is not followed");
        continue;
      }
      if (!it->is_regular_file()) {
        findings.Error("payload", name, "is neither a file nor a folder");
        continue;
      }
      struct stat st {};
      if (::stat(it->path().c_str(), &st) != 0) {
        findings.Error("payload", name, "cannot be read");
        continue;
      }
      if (!files.emplace(name, PayloadFile{name, it->path(), st.st_mtime}).second)
        findings.Error("payload", name, "is in two payload folders");
    }
    if (error) findings.Error(folder, "", "cannot be listed: " + error.message());
  }
  std::vector<PayloadFile> sorted;
  for (auto& [name, file] : files) sorted.push_back(std::move(file));
  if (sorted.empty() && !findings.HasErrors()) findings.Error("payload", "", "holds no files");
  return sorted;
}

// The files beside setup.exe, by their names on the medium.
class RootFiles {
 public:
  void Add(const std::string& name, const fs::path& from, Findings& findings) {
    const auto bytes = ReadWhole(from);
    if (!bytes) {
      findings.Error(from.string(), "", "cannot be read");
      return;
    }
    for (const auto& [existing, ignored] : files_)
      if (FoldedName(existing) == FoldedName(name)) {
        findings.Error(from.string(), "", "gives the medium a second file named " + name);
        return;
      }
    files_[name] = *bytes;
  }
  const std::map<std::string, std::string>& All() const { return files_; }
  std::map<std::string, std::string> Folded() const {
    std::map<std::string, std::string> folded;
    for (const auto& [name, bytes] : files_) folded[FoldedName(name)] = bytes;
    return folded;
  }

 private:
  std::map<std::string, std::string> files_;
};

// Whether SOURCE_DATE_EPOCH asks for reproducible times: files later than it get its time,
// and times are taken in UTC so that the bytes do not depend on the machine's zone.
std::optional<std::time_t> SourceDateEpoch() {
  const char* value = std::getenv("SOURCE_DATE_EPOCH");
  if (!value || !*value) return std::nullopt;
  return std::time_t(std::strtoll(value, nullptr, 10));
}

std::vector<zipwrite::FileEntry> ArchiveEntries(const std::vector<PayloadFile>& payload, Findings& findings) {
  const auto epoch = SourceDateEpoch();
  std::vector<zipwrite::FileEntry> entries;
  for (const PayloadFile& file : payload) {
    const auto bytes = ReadWhole(file.path);
    if (!bytes) {
      findings.Error("payload", file.name, "cannot be read");
      continue;
    }
    const std::time_t when = epoch ? std::min(file.modified, *epoch) : file.modified;
    entries.push_back({file.name, zipwrite::Bytes(bytes->begin(), bytes->end()), zipwrite::ToDosStamp(when, bool(epoch))});
  }
  return entries;
}

std::vector<std::string> PartNames(size_t count) {
  std::vector<std::string> names;
  for (size_t k = 0; k + 1 < count; ++k) names.push_back(span::PartFileName(kArchiveName, int(k)));
  names.push_back(kArchiveName);
  return names;
}

bool WriteMedium(const fs::path& folder, const RootFiles& root, const zipwrite::WrittenArchive& archive) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) return false;
  for (const auto& [name, bytes] : root.All())
    if (!WriteWhole(folder / name, bytes)) return false;
  const auto names = PartNames(archive.parts.size());
  for (size_t k = 0; k < archive.parts.size(); ++k)
    if (!WriteWhole(folder / names[k], AsText(archive.parts[k]))) return false;
  return true;
}

// Removable media: disk n holds part n as Setup.zip and carries the label "PKBACK# nnn";
// setup starts from the last disk, which holds the medium's other files as well.
bool WriteDiskFolders(const fs::path& folder, const RootFiles& root, const zipwrite::WrittenArchive& archive,
                      std::ostream& out) {
  std::string labels;
  const size_t count = archive.parts.size();
  for (size_t k = 0; k < count; ++k) {
    const fs::path disk = folder / ("disk" + std::to_string(k + 1));
    std::error_code error;
    fs::create_directories(disk, error);
    if (error || !WriteWhole(disk / kArchiveName, AsText(archive.parts[k]))) return false;
    if (k + 1 == count)
      for (const auto& [name, bytes] : root.All())
        if (!WriteWhole(disk / name, bytes)) return false;
    char label[32];
    std::snprintf(label, sizeof label, "PKBACK# %03zu", k + 1);
    labels += "disk" + std::to_string(k + 1) + ": volume label \"" + label + "\"\n";
  }
  out << "Disk folders in " << folder.string() << ", one per disk:\n" << labels;
  return WriteWhole(folder / "labels.txt", labels);
}

class QuietJoin : public span::JoinEvents {
  void OnProgress(span::ProgressType, const std::string&, int64_t) override {}
  void OnMessage(int, const std::string&) override {}
};

class Collector : public unzip::Listener {
 public:
  std::vector<std::string> tested;
  std::vector<std::string> problems;
  bool OnEvent(const unzip::Event& event) override {
    if (event.action == unzipabi::kNewFile) tested.push_back(event.text);
    if (event.action == unzipabi::kMessage && event.errorCode != unzip::kNoError) problems.push_back(event.text);
    return true;
  }
};

// A temporary file removed when it goes.
class TempFile {
 public:
  TempFile() {
    std::string pattern = (fs::temp_directory_path() / "make-medium-XXXXXX").string();
    const int fd = ::mkstemp(&pattern[0]);
    if (fd >= 0) {
      ::close(fd);
      path_ = pattern;
    }
  }
  ~TempFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Joins a set as setup's join does on a fixed drive; false after a join error.
bool JoinSet(const std::string& listed, const std::string& joined, std::ostream& out) {
  try {
    span::FilePartSource source(listed);
    span::FileJoinSink sink(joined);
    QuietJoin events;
    span::JoinParts(source, sink, events);
    if (sink.Close()) return true;
    out << "error: the joined copy could not be written\n";
  } catch (const span::SpanError& e) {
    out << "error: joining the parts fails with message " << e.Id() << "\n";
  }
  return false;
}

bool SameMember(const unzip::Member& read, const zipwrite::WrittenMember& written) {
  return read.name == written.name && read.crc == written.crc && read.uncompressedSize == written.size &&
         read.compressedSize == written.compressedSize && read.method == written.method;
}

// Lists the archive and tests every member with the extraction engine: names, sizes and
// CRCs as written, and data that inflates to its CRC.
bool Verify(const fs::path& medium, const zipwrite::WrittenArchive& archive, std::ostream& out) {
  std::string tested = (medium / kArchiveName).string();
  TempFile joined;
  if (archive.parts.size() > 1) {
    if (joined.Path().empty() || !JoinSet(tested, joined.Path(), out)) return false;
    tested = joined.Path();
  }
  auto input = unzip::PosixFileInput::Open(tested);
  if (!input) {
    out << "error: " << tested << " cannot be opened\n";
    return false;
  }
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(*input);
  bool ok = directory.status == unzip::DirectoryStatus::kOk && directory.members.size() == archive.members.size();
  for (size_t i = 0; ok && i < archive.members.size(); ++i) {
    const zipwrite::WrittenMember& m = archive.members[i];
    ok = SameMember(directory.members[i], m);
    char line[64];
    std::snprintf(line, sizeof line, "  %08" PRIX32 " %10" PRIu32 " %10" PRIu32 "  ", m.crc, m.size, m.compressedSize);
    out << line << m.name << (ok ? "" : "   <- listed differently") << "\n";
  }
  if (!ok) {
    out << "error: the archive's directory does not list the members as written\n";
    return false;
  }
  Collector collector;
  unzip::Options options;
  options.test = true;
  options.dirNames = true;
  options.fileSpecs = {"*.*"};
  unzip::PosixSink sink(medium.string());
  const int good = unzip::Extract(*input, sink, collector, options);
  for (const std::string& problem : collector.problems) out << "error: test extraction: " << problem << "\n";
  std::vector<std::string> names;
  // The engine reports names in the ANSI code page, as setup records them.
  for (const auto& m : archive.members) names.push_back(Cp1252FromUtf8(m.name).value_or(m.name));
  if (good != int(archive.members.size()) || collector.tested != names || !collector.problems.empty()) {
    out << "error: the engine tested " << good << " of " << archive.members.size() << " members\n";
    return false;
  }
  return true;
}

void Summarise(const zipwrite::WrittenArchive& archive, std::ostream& out) {
  uint64_t bytes = 0, compressed = 0, archiveBytes = 0;
  for (const auto& m : archive.members) {
    bytes += m.size;
    compressed += m.compressedSize;
  }
  for (const auto& part : archive.parts) archiveBytes += part.size();
  out << "files: " << archive.members.size() << ", bytes: " << bytes << ", compressed: " << compressed
      << " (archive " << archiveBytes << " bytes), parts: " << archive.parts.size() << "\n";
}

bool IsEmptyOrAbsent(const std::string& folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return true;
  return fs::is_directory(folder, error) && fs::is_empty(folder, error);
}

void GatherRootFiles(const BuildOptions& o, const std::string& infText, RootFiles& root, Findings& findings) {
  root.Add("Setup.inf", o.setupInf, findings);
  if (!o.licence.empty()) root.Add("Licence.txt", o.licence, findings);
  else findings.Warning("Licence.txt", "", "no licence given (--licence); the licence page stays empty");
  for (const std::string& file : o.languages) root.Add(fs::path(file).filename().string(), file, findings);
  for (const std::string& file : o.pictures) root.Add(fs::path(file).filename().string(), file, findings);
  for (const std::string& file : o.extraFiles) root.Add(fs::path(file).filename().string(), file, findings);
  const fs::path build(o.windowsBuild);
  root.Add("setup.exe", build / "bin" / "setup.exe", findings);
  root.Add("UNZIPLIB.DLL", build / "medium-bin" / "UNZIPLIB.DLL", findings);
  // Setup copies the uninstaller by the name Setup.inf gives it.
  root.Add(SetupInfValue(infText, "Uninstall", "UninstallString", "UnInstall.exe"), build / "bin" / "UnInstall.exe",
           findings);
}

void CheckInputs(const BuildOptions& o, const std::vector<PayloadFile>& payload, const std::string& infText,
                 const RootFiles& root, Findings& findings) {
  MediumContents contents;
  std::vector<std::string> names;
  for (const PayloadFile& file : payload) names.push_back(file.name);
  CheckPayloadNames(names, contents.payload, findings);
  contents.rootFiles = root.Folded();
  CheckSetupInf(infText, contents, findings);
  for (const std::string& file : o.languages)
    if (const auto text = ReadWhole(file)) CheckLanguageFile(fs::path(file).filename().string(), *text, findings);
  if (!IsEmptyOrAbsent(o.output)) findings.Error(o.output, "", "the medium folder exists and is not empty");
  if (!o.diskFolders.empty() && !IsEmptyOrAbsent(o.diskFolders))
    findings.Error(o.diskFolders, "", "the disk folder exists and is not empty");
}

}  // namespace

uint64_t ParsePartSize(const std::string& text) {
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
  if (end == text.c_str()) return 0;
  const std::string unit(end);
  if (unit.empty()) return value;
  if (unit == "k" || unit == "K") return value * 1024;
  if (unit == "M") return value * 1024 * 1024;
  return 0;
}

int BuildMedium(const BuildOptions& o, std::ostream& out) {
  Findings findings;
  const std::string infText = ReadWhole(o.setupInf).value_or("");
  const std::vector<PayloadFile> payload = CollectPayload(o.payloads, findings);
  RootFiles root;
  GatherRootFiles(o, infText, root, findings);
  CheckInputs(o, payload, infText, root, findings);
  std::vector<zipwrite::FileEntry> entries;
  if (!findings.HasErrors()) entries = ArchiveEntries(payload, findings);
  zipwrite::WrittenArchive archive;
  if (!findings.HasErrors()) {
    try {
      archive = zipwrite::WriteArchive(entries, o.partSize);
    } catch (const zipwrite::WriteError& e) {
      findings.Error(kArchiveName, "", e.what());
    }
  }
  for (const Finding& f : findings.All()) out << Describe(f) << "\n";
  if (findings.HasErrors()) {
    out << "The medium was not written.\n";
    return 1;
  }

  if (!WriteMedium(o.output, root, archive) ||
      (!o.diskFolders.empty() && !WriteDiskFolders(o.diskFolders, root, archive, out))) {
    out << "error: the medium could not be written completely into " << o.output << "\n";
    return 1;
  }
  out << "Medium written to " << o.output << "; members tested by the extraction engine:\n";
  out << "  CRC-32         size compressed  name\n";
  if (!Verify(o.output, archive, out)) return 1;
  Summarise(archive, out);
  return 0;
}

}  // namespace medium

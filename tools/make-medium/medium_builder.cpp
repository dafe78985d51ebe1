#include "medium_builder.h"

#include "setup_description.h"
#include "value_rules.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>

#include "files.h"
#include "findings.h"
#include "host.h"
#include "medium_checks.h"
#include "member_directory.h"
#include "part_names.h"
#include "report.h"
#include "span_join.h"
#include "unzip_engine.h"
#include "zip_writer.h"

namespace medium {

namespace {

const char kArchiveName[] = "Setup.zip";

std::string AsText(const zipwrite::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

bool IsFolderEntry(const std::string& name) { return !name.empty() && name.back() == '/'; }

struct PayloadEntry {
  std::string name;  // below the payload folder, "/" separators; a folder ends in "/"
  std::string path;  // a file's path on this machine
  std::time_t modified = 0;
};

void ListPayloadFolder(const std::string& folder, std::map<std::string, PayloadEntry>& files,
                       std::map<std::string, PayloadEntry>& folders, Findings& findings) {
  if (!IsFolder(folder)) {
    findings.Error(folder, "", "the payload folder does not exist");
    return;
  }
  std::vector<host::TreeEntry> entries;
  std::string error;
  if (!host::ListTree(folder, entries, error)) findings.InputOutputError(folder, "", "cannot be listed: " + error);
  for (const host::TreeEntry& e : entries) {
    switch (e.kind) {
      case host::TreeEntry::kFolderLink:
        findings.Error("payload", e.name, "is a link to a folder, which is not followed");
        break;
      case host::TreeEntry::kOther: findings.Error("payload", e.name, "is neither a file nor a folder"); break;
      case host::TreeEntry::kFolder: folders.emplace(e.name + "/", PayloadEntry{e.name + "/", "", e.modified}); break;
      case host::TreeEntry::kFile:
        if (!files.emplace(e.name, PayloadEntry{e.name, InFolder(folder, e.name), e.modified}).second)
          findings.Error("payload", e.name, "is in two payload folders");
        break;
    }
  }
}

bool HoldsFiles(const std::map<std::string, PayloadEntry>& files, const std::string& folder) {
  const auto next = files.lower_bound(folder);
  return next != files.end() && next->first.compare(0, folder.size(), folder) == 0;
}

// The payload's files and, as folder entries, its folders that hold no file at any depth
// (the others come into being with their files), sorted by name: the archive's order.
std::vector<PayloadEntry> CollectPayload(const std::vector<std::string>& folders, Findings& findings) {
  std::map<std::string, PayloadEntry> files, folderEntries;
  for (const std::string& folder : folders) ListPayloadFolder(folder, files, folderEntries, findings);
  if (files.empty() && !findings.HasErrors()) findings.Error("payload", "", "holds no files");
  std::map<std::string, PayloadEntry> all = files;
  for (const auto& [name, entry] : folderEntries)
    if (!HoldsFiles(files, name)) all.emplace(name, entry);
  std::vector<PayloadEntry> sorted;
  for (auto& [name, entry] : all) sorted.push_back(std::move(entry));
  return sorted;
}

// The files beside setup.exe, by their names on the medium.
class RootFiles {
 public:
  void Add(const std::string& name, const std::string& from, Findings& findings) {
    if (!setupinf::IsPlainFileName(name)) {
      findings.Error(from, "", "\"" + name + "\" is no plain file name for the medium");
      return;
    }
    const auto bytes = ReadWhole(from);
    if (!bytes) {
      findings.InputOutputError(from, "", "cannot be read");
      return;
    }
    for (const auto& [existing, ignored] : files_)
      if (FoldedName(existing) == FoldedName(name)) {
        findings.Error(from, "", "gives the medium a second file named " + name);
        return;
      }
    files_[name] = *bytes;
  }
  std::string& Bytes(const std::string& name) { return files_[name]; }
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
  std::string value;
  if (!host::Environment("SOURCE_DATE_EPOCH", value) || value.empty()) return std::nullopt;
  return std::time_t(std::strtoll(value.c_str(), nullptr, 10));
}

uint64_t PayloadBytes(const std::vector<PayloadEntry>& payload) {
  uint64_t bytes = 0;
  for (const PayloadEntry& entry : payload)
    if (!IsFolderEntry(entry.name)) {
      std::error_code error;
      bytes += std::filesystem::file_size(FsPath(entry.path), error);
    }
  return bytes;
}

std::vector<zipwrite::FileEntry> ArchiveEntries(const std::vector<PayloadEntry>& payload, Findings& findings,
                                                Report& report) {
  const auto epoch = SourceDateEpoch();
  std::vector<zipwrite::FileEntry> entries;
  uint64_t bytesRead = 0;
  for (const PayloadEntry& entry : payload) {
    const auto bytes = IsFolderEntry(entry.name) ? std::string() : ReadWhole(entry.path);
    if (!bytes) {
      findings.InputOutputError("payload", entry.name, "cannot be read");
      continue;
    }
    const std::time_t when = epoch ? std::min(entry.modified, *epoch) : entry.modified;
    entries.push_back(
        {entry.name, zipwrite::Bytes(bytes->begin(), bytes->end()), zipwrite::ToDosStamp(when, bool(epoch))});
    bytesRead += bytes->size();
    report.Progress("reading", entries.size(), bytesRead);
  }
  return entries;
}

zipwrite::WrittenArchive Pack(const std::vector<zipwrite::FileEntry>& entries, uint64_t partSize, Findings& findings,
                              Report& report) {
  size_t files = 0;
  uint64_t bytes = 0;
  try {
    return zipwrite::WriteArchive(entries, partSize, [&](const zipwrite::WrittenMember& m) {
      bytes += m.size;
      report.Progress("packing", ++files, bytes);
    });
  } catch (const zipwrite::WriteError& e) {
    findings.Error(kArchiveName, "", e.what());
  }
  return {};
}

std::vector<std::string> PartNames(size_t count) {
  std::vector<std::string> names;
  for (size_t k = 0; k + 1 < count; ++k) names.push_back(span::PartFileName(kArchiveName, int(k)));
  names.push_back(kArchiveName);
  return names;
}

bool WriteMedium(const std::string& folder, const RootFiles& root, const zipwrite::WrittenArchive& archive) {
  if (!MakeFolders(folder)) return false;
  for (const auto& [name, bytes] : root.All())
    if (!WriteWhole(InFolder(folder, name), bytes)) return false;
  const auto names = PartNames(archive.parts.size());
  for (size_t k = 0; k < archive.parts.size(); ++k)
    if (!WriteWhole(InFolder(folder, names[k]), AsText(archive.parts[k]))) return false;
  return true;
}

// Removable media: disk n holds part n as Setup.zip and carries the label "PKBACK# nnn";
// setup starts from the last disk, which holds the medium's other files as well.
bool WriteDiskFolders(const std::string& folder, const RootFiles& root, const zipwrite::WrittenArchive& archive,
                      Report& report) {
  std::string labels;
  const size_t count = archive.parts.size();
  for (size_t k = 0; k < count; ++k) {
    const std::string disk = InFolder(folder, "disk" + std::to_string(k + 1));
    if (!MakeFolders(disk) || !WriteWhole(InFolder(disk, kArchiveName), AsText(archive.parts[k]))) return false;
    if (k + 1 == count)
      for (const auto& [name, bytes] : root.All())
        if (!WriteWhole(InFolder(disk, name), bytes)) return false;
    char label[32];
    std::snprintf(label, sizeof label, "PKBACK# %03zu", k + 1);
    labels += "disk" + std::to_string(k + 1) + ": volume label \"" + label + "\"\n";
  }
  report.Line("One folder per disk (" + std::to_string(count) + ") in " + folder +
              "; the volume label each disk must carry is in labels.txt there.");
  return WriteWhole(InFolder(folder, "labels.txt"), labels);
}

// The parts as written to the medium, read back; the join asks for them by disk number.
class ReadBackParts : public span::PartSource {
 public:
  explicit ReadBackParts(std::vector<std::string> parts) : parts_(std::move(parts)) {}
  void OpenLastPart(int) override { Open(parts_.size() - 1); }
  void LastPartHasNoEndRecord(int) override { throw span::NoEndRecordError(kArchiveName); }
  void ChangeDisk(int disk, int) override {
    if (disk < 0 || size_t(disk) >= parts_.size()) throw zipfmt::ZipError(zipmsg::kFileNotFound);
    Open(size_t(disk));
  }
  uint64_t Size() override { return open_->size(); }
  bool Seek(uint64_t offset) override {
    if (offset > open_->size()) return false;
    position_ = size_t(offset);
    return true;
  }
  size_t Read(void* buffer, size_t size) override {
    const size_t n = std::min(size, open_->size() - position_);
    std::memcpy(buffer, open_->data() + position_, n);
    position_ += n;
    return n;
  }

 private:
  void Open(size_t part) {
    open_ = &parts_[part];
    position_ = 0;
  }
  std::vector<std::string> parts_;
  const std::string* open_ = nullptr;
  size_t position_ = 0;
};

class JoinedArchive : public span::JoinSink {
 public:
  std::string bytes;
  bool Write(const void* data, size_t size) override {
    bytes.append(static_cast<const char*>(data), size);
    return true;
  }
  uint64_t Position() const override { return bytes.size(); }
};

class QuietJoin : public span::JoinEvents {
  void OnProgress(ProgressType, const std::string&, int64_t) override {}
  void OnMessage(int, const std::string&) override {}
};

// The archive as setup reads it from the medium: Setup.zip, or the set joined as setup
// joins it on a hard disk.
std::optional<std::string> ReadBackArchive(const std::string& medium, size_t partCount, Report& report) {
  std::vector<std::string> parts;
  for (const std::string& name : PartNames(partCount)) {
    auto bytes = ReadWhole(InFolder(medium, name));
    if (!bytes) {
      report.Line("error: " + name + " cannot be read back from the medium");
      return std::nullopt;
    }
    parts.push_back(std::move(*bytes));
  }
  if (parts.size() == 1) return std::move(parts[0]);
  ReadBackParts source(std::move(parts));
  JoinedArchive joined;
  QuietJoin events;
  try {
    span::JoinParts(source, joined, events);
    return std::move(joined.bytes);
  } catch (const zipfmt::ZipError& e) {
    report.Line("error: joining the parts fails with message " + std::to_string(e.Id()));
  }
  return std::nullopt;
}

class MemoryArchive : public unzip::ArchiveInput {
 public:
  explicit MemoryArchive(const std::string& bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t length) override {
    if (offset >= bytes_.size()) return 0;
    const size_t n = std::min<uint64_t>(length, bytes_.size() - offset);
    std::memcpy(buffer, bytes_.data() + offset, n);
    return n;
  }

 private:
  const std::string& bytes_;
};

// Testing writes nothing: the engine never asks its sink.
class NoOutput : public unzip::OutputSink {
  unzip::FolderResult CreateFolders(const std::string&) override { return unzip::FolderResult::kFailed; }
  unzip::ExistingEntry Examine(const std::string&) override { return {}; }
  std::unique_ptr<unzip::PendingFile> Begin(const std::string&) override { return nullptr; }
};

class Collector : public unzip::Listener {
 public:
  explicit Collector(Report& report) : report_(report) {}
  std::vector<std::string> tested;
  std::vector<std::string> problems;
  bool OnEvent(const unzip::Event& event) override {
    if (event.action == unzipabi::kNewFile) {
      tested.push_back(event.text);
      bytes_ += event.size;
      report_.Progress("testing", tested.size(), bytes_);
    }
    if (event.action == unzipabi::kMessage && event.errorCode != unzip::kNoError) problems.push_back(event.text);
    return true;
  }

 private:
  Report& report_;
  uint64_t bytes_ = 0;
};

bool SameMember(const unzip::Member& read, const zipwrite::WrittenMember& written) {
  return read.name == written.name && read.crc == written.crc && read.uncompressedSize == written.size &&
         read.compressedSize == written.compressedSize && read.method == written.method;
}

// The archive's directory lists the members as written (--verbose shows them).
bool ListMembers(unzip::ArchiveInput& input, const zipwrite::WrittenArchive& archive, Report& report) {
  const unzip::CentralDirectory directory = unzip::ReadCentralDirectory(input);
  bool ok = directory.status == unzip::DirectoryStatus::kOk && directory.members.size() == archive.members.size();
  report.Detail("  CRC-32         size compressed  name");
  for (size_t i = 0; ok && i < archive.members.size(); ++i) {
    const zipwrite::WrittenMember& m = archive.members[i];
    ok = SameMember(directory.members[i], m);
    char line[64];
    std::snprintf(line, sizeof line, "  %08" PRIX32 " %10" PRIu32 " %10" PRIu32 "  ", m.crc, m.size, m.compressedSize);
    if (ok)
      report.Detail(line + m.name);
    else
      report.Line(line + m.name + "   <- listed differently");
  }
  if (!ok) report.Line("error: the archive's directory does not list the members as written");
  return ok;
}

// Every file member inflates to its CRC in the extraction engine; folder entries hold no data.
bool TestMembers(unzip::ArchiveInput& input, const zipwrite::WrittenArchive& archive, Report& report) {
  Collector collector(report);
  unzip::Options options;
  options.test = true;
  options.dirNames = true;
  options.fileSpecs = {"*.*"};
  NoOutput sink;
  const int good = unzip::Extract(input, sink, collector, options);
  for (const std::string& problem : collector.problems) report.Line("error: test extraction: " + problem);
  std::vector<std::string> names;
  // The engine reports names in the ANSI code page, as setup records them.
  for (const auto& m : archive.members)
    if (!IsFolderEntry(m.name)) names.push_back(Cp1252FromUtf8(m.name).value_or(m.name));
  if (good != int(names.size()) || collector.tested != names || !collector.problems.empty()) {
    report.Line("error: the engine tested " + std::to_string(good) + " of " + std::to_string(names.size()) + " files");
    return false;
  }
  return true;
}

bool VerifyArchive(const std::string& medium, const zipwrite::WrittenArchive& archive, Report& report) {
  const auto bytes = ReadBackArchive(medium, archive.parts.size(), report);
  if (!bytes) return false;
  MemoryArchive input(*bytes);
  return ListMembers(input, archive, report) && TestMembers(input, archive, report);
}

std::string Summary(const zipwrite::WrittenArchive& archive) {
  uint64_t files = 0, folders = 0, bytes = 0, compressed = 0, archiveBytes = 0;
  for (const auto& m : archive.members) {
    ++(IsFolderEntry(m.name) ? folders : files);
    bytes += m.size;
    compressed += m.compressedSize;
  }
  for (const auto& part : archive.parts) archiveBytes += part.size();
  return "files: " + std::to_string(files) + ", bytes: " + std::to_string(bytes) +
         ", compressed: " + std::to_string(compressed) + " (archive " + std::to_string(archiveBytes) +
         " bytes), parts: " + std::to_string(archive.parts.size()) + ", empty folders: " + std::to_string(folders);
}

// The medium's programs and where they come from.
struct Program {
  std::string name;  // on the medium
  std::string from;
};

std::vector<Program> Programs(const BuildOptions& o, const std::string& infText) {
  const bool fromBuild = o.programs.empty();
  const std::string folder = fromBuild ? o.windowsBuild : o.programs;
  const auto source = [&](const char* buildFolder, const char* name) {
    return InFolder(fromBuild ? InFolder(folder, buildFolder) : folder, name);
  };
  // Setup copies the uninstaller by the name Setup.inf gives it.
  return {{"setup.exe", source("bin", "setup.exe")},
          {"UNZIPLIB.DLL", source("medium-bin", "UNZIPLIB.DLL")},
          {SetupInfValue(infText, setupinf::kUninstallString.section, setupinf::kUninstallString.name,
                         setupinf::kUninstallString.fallback),
           source("bin", "UnInstall.exe")}};
}

void GatherRootFiles(const BuildOptions& o, const std::vector<Program>& programs, RootFiles& root, Findings& findings) {
  root.Add("Setup.inf", o.setupInf, findings);
  if (!o.licence.empty())
    root.Add("Licence.txt", o.licence, findings);
  else
    findings.Warning("Licence.txt", "", "no licence given (--licence); the licence page stays empty");
  for (const std::string& file : o.languages) root.Add(FileName(file), file, findings);
  for (const std::string& file : o.pictures) root.Add(FileName(file), file, findings);
  for (const std::string& file : o.extraFiles) root.Add(FileName(file), file, findings);
  for (const Program& program : programs) root.Add(program.name, program.from, findings);
}

void CheckInputs(const BuildOptions& o, const std::vector<PayloadEntry>& payload, const std::string& infText,
                 const RootFiles& root, Findings& findings) {
  MediumContents contents;
  std::vector<std::string> names;
  for (const PayloadEntry& entry : payload) names.push_back(entry.name);
  CheckPayloadNames(names, contents.payload, findings);
  contents.rootFiles = root.Folded();
  CheckSetupInf(infText, contents, findings);
  for (const std::string& file : o.languages)
    if (const auto text = ReadWhole(file)) CheckLanguageFile(FileName(file), *text, findings);
  if (!IsEmptyOrAbsent(o.output)) findings.Error(o.output, "", "the medium folder exists and is not empty");
  if (!o.diskFolders.empty() && !IsEmptyOrAbsent(o.diskFolders))
    findings.Error(o.diskFolders, "", "the disk folder exists and is not empty");
}

void SignPrograms(Signer& signer, const std::vector<Program>& programs, RootFiles& root, Findings& findings) {
  for (const Program& program : programs) {
    std::string problem;
    if (!signer.Sign(program.name, root.Bytes(program.name), problem))
      findings.Error(program.name, "", "could not be signed: " + problem);
  }
}

bool VerifySignatures(Signer& signer, const std::vector<Program>& programs, const std::string& medium, Report& report) {
  for (const Program& program : programs) {
    std::string problem;
    if (!signer.Verify(InFolder(medium, program.name), problem)) {
      report.Line("error: " + program.name + ": the signature does not verify: " + problem);
      return false;
    }
  }
  return true;
}

// What the checks let through, ready to be written.
struct Prepared {
  RootFiles root;
  std::vector<Program> programs;
  zipwrite::WrittenArchive archive;
};

void Prepare(const BuildOptions& o, Signer& signer, Prepared& p, Findings& findings, Report& report) {
  const std::string infText = ReadWhole(o.setupInf).value_or("");
  const std::vector<PayloadEntry> payload = CollectPayload(o.payloads, findings);
  p.programs = Programs(o, infText);
  GatherRootFiles(o, p.programs, p.root, findings);
  CheckInputs(o, payload, infText, p.root, findings);
  if (findings.HasErrors()) return;
  report.BeginSteps(payload.size(), PayloadBytes(payload));
  const std::vector<zipwrite::FileEntry> entries = ArchiveEntries(payload, findings, report);
  if (!findings.HasErrors()) p.archive = Pack(entries, o.partSize, findings, report);
  if (!findings.HasErrors() && signer.Active()) SignPrograms(signer, p.programs, p.root, findings);
}

ExitCode WriteAndVerify(const BuildOptions& o, Signer& signer, const Prepared& p, Report& report) {
  if (!WriteMedium(o.output, p.root, p.archive) ||
      (!o.diskFolders.empty() && !WriteDiskFolders(o.diskFolders, p.root, p.archive, report))) {
    report.Line("error: the medium could not be written completely into " + o.output);
    return kInputOutput;
  }
  if (!VerifyArchive(o.output, p.archive, report)) return kInputOutput;
  if (signer.Active() && !VerifySignatures(signer, p.programs, o.output, report)) return kInputOutput;
  report.Line("Medium written to " + o.output + " and verified" + (signer.Active() ? ", its programs signed" : "") +
              "; " + Summary(p.archive));
  return kWritten;
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

ExitCode BuildMedium(const BuildOptions& o, std::ostream& out) {
  Report report(out, o.verbose, o.progress);
  Findings findings;
  SigningOptions signing = o.signing;
  signing.signingTime = SourceDateEpoch();
  Signer signer(signing, findings);
  Prepared prepared;
  Prepare(o, signer, prepared, findings, report);
  for (const Finding& f : findings.All()) report.Line(Describe(f));
  if (findings.HasErrors()) {
    report.Line("The medium was not written.");
    return findings.HasInputOutputErrors() ? kInputOutput : kRefused;
  }
  return WriteAndVerify(o, signer, prepared, report);
}

}  // namespace medium

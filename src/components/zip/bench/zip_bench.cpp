// Extraction speed through the archive component, as the setup extracts: List, then Extract
// with folder names and overwrite into an empty folder through the real UNZIPLIB.DLL.
// Usage: zip_bench [archive] [library folder]
// Without an archive, one of about 64 MB (deflated text and stored noise) is made first.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ZipArchive.h"
#include "files.h"

#ifdef ZIP_BENCH_CAN_MAKE_ARCHIVE
#include "test_zip.h"
#endif

namespace {

double Now() {
  LARGE_INTEGER frequency, counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return double(counter.QuadPart) / double(frequency.QuadPart);
}

void RemoveFolder(const std::string& folder) {
  std::string from = folder;
  from.push_back('\0');
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
  ::SHFileOperationA(&op);
}

std::string MakeArchive(const std::string& folder) {
#ifdef ZIP_BENCH_CAN_MAKE_ARCHIVE
  const std::string path = folder + "zip_bench.zip";
  std::printf("making %s ...\n", path.c_str());
  ziptest::ZipWriter writer;
  for (int i = 0; i < 400; ++i) {
    ziptest::Entry e;
    e.name = "files/d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".dat";
    const bool noise = i % 3 == 0;
    const size_t size = 100 * 1024 + size_t(i) * 7919 % (200 * 1024);
    e.data = noise ? ziptest::NoiseData(size, uint32_t(i)) : ziptest::TextData(size, uint32_t(i));
    e.method = noise ? ziptest::kStored : ziptest::kDeflated;
    writer.Add(e);
  }
  const std::vector<uint8_t> bytes = writer.Finish();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
#else
  (void)folder;
  return std::string();
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::string work = platform::TempFolder() + "zip_bench\\";
  platform::ForceDirectories(work);
  const bool madeHere = argc < 2;
  const std::string archive = madeHere ? MakeArchive(work) : platform::ExpandFileName(argv[1]);
  if (archive.empty() || !platform::FileExists(archive)) {
    std::fprintf(stderr, "usage: zip_bench [archive] [library folder]\n");
    return 2;
  }
  std::string library = platform::ExeFolder() + "..\\zip_test_libs\\real";
  if (argc > 2) library = argv[2];

  TZipArchive zip(nullptr);
  zip.SetDLLDirectory(library);
  zip.OnMessage = [](forms::Component*, int code, const std::string& text) {
    std::fprintf(stderr, "message %d: %s\n", code, text.c_str());
  };
  const double listStart = Now();
  zip.SetZipFilename(archive);
  const double listSeconds = Now() - listStart;
  if (zip.Entries().empty()) return 1;

  double unpacked = 0;
  for (const ZipDirEntry& e : zip.Entries()) unpacked += e.uncompressedSize;
  const std::string target = work + "out";
  RemoveFolder(target);
  platform::ForceDirectories(target);
  zip.ExtrBaseDir = target;
  zip.ExtrOptions = {ExtrDirNames, ExtrOverWrite};
  zip.SetFSpecArgs({"*.*"});
  int files = 0;
  zip.OnProgress = [&](forms::Component*, ProgressType type, const std::string&, int) {
    if (type == ptFileStart) ++files;
  };
  const double start = Now();
  zip.Extract();
  const double seconds = Now() - start;
  platform::SetCurrentFolder(work);
  RemoveFolder(target);
  if (madeHere) ::DeleteFileA(archive.c_str());

  const double mb = unpacked / (1024.0 * 1024.0);
  std::printf("archive %s: %zu entries, %.1f MB unpacked\n", archive.c_str(), zip.Entries().size(), mb);
  std::printf("List: %.1f ms\n", listSeconds * 1000.0);
  std::printf("Extract: %d files (SuccessCount %d) in %.2f s: %.1f MB/s\n", files, zip.SuccessCount(), seconds,
              mb / seconds);
  return zip.SuccessCount() == int(zip.Entries().size()) ? 0 : 1;
}

// talvenor_art: draws the built-in pictures of the setup program and the generated files
// of the demo medium's payload.
//   talvenor_art pictures <folder>   BMP, ICO and JPEG files to build into setup.exe
//   talvenor_art previews <folder>   PNG copies of those pictures for the documentation
//   talvenor_art payload <folder>    program stub, operator logos and ringtones

#include <cstdio>
#include <filesystem>
#include <string>

#include "payload.h"
#include "pictures.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: talvenor_art pictures|previews|payload <output folder>\n");
  return 2;
}

int writeAll(const std::filesystem::path& folder, const std::vector<art::OutputFile>& files) {
  for (const art::OutputFile& file : files) {
    std::filesystem::path path = folder / file.name;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error || !art::writeFile(path.string(), file.bytes)) {
      std::fprintf(stderr, "talvenor_art: cannot write %s\n", path.string().c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usage();
  const std::string mode = argv[1];
  const std::filesystem::path folder = argv[2];
  if (mode == "pictures") return writeAll(folder, art::renderPictures());
  if (mode == "previews") return writeAll(folder, art::renderPreviews());
  if (mode == "payload") return writeAll(folder, art::renderPayload());
  return usage();
}

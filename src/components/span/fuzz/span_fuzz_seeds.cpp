// Writes a seed corpus for span_fuzz into the folder given as the only argument.
#include <cstdio>
#include <string>

#include "fuzz_input.h"

using namespace spantest;

namespace {

void Save(const std::string& folder, const std::string& name, const Bytes& bytes) {
  const std::string path = folder + "/" + name;
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: span_fuzz_seeds <corpus folder>\n");
    return 2;
  }
  std::vector<Member> members(4);
  members[0].name = "readme.txt";
  members[0].data = PatternBytes(90, 1);
  members[1].name = "logos/a.bmp";
  members[1].data = PatternBytes(300, 2);
  members[1].dataDescriptor = true;
  members[2].name = "dir/";
  members[3].name = "x.mid";
  members[3].data = PatternBytes(40, 3);
  members[3].extra = "ab";
  members[3].comment = "c";
  SetOptions options;
  options.archiveComment = "seed";
  for (size_t parts = 1; parts <= 4; ++parts)
    Save(argv[1], "even" + std::to_string(parts), EncodeFuzzInput(BuildEvenSpanSet(members, parts, options).parts, 0));
  Save(argv[1], "short-reads", EncodeFuzzInput(BuildEvenSpanSet(members, 3, options).parts, 5));
  options.directoryOrder = {3, 2, 1, 0};
  Save(argv[1], "reordered", EncodeFuzzInput(BuildSpanSet(members, {200, 200}, options).parts, 0));
  Save(argv[1], "empty", EncodeFuzzInput(BuildSpanSet({}, {4}).parts, 0));
  return 0;
}

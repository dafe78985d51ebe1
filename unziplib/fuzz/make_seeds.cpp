// Writes the fuzzer's seed corpus: small archives that reach every path of the engine.
#include <cstdio>
#include <fstream>
#include <string>

#include "test_zip.h"

using namespace ziptest;

namespace {

void Save(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(folder + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Entry Make(const std::string& name, const std::string& data, uint16_t method) {
  Entry e;
  e.name = name;
  e.data = data;
  e.method = method;
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];

  ZipWriter plain;
  plain.Add(Make("dir/", "", kStored));
  plain.Add(Make("dir/text.txt", TextData(3000, 1), kDeflated));
  plain.Add(Make("stored.bin", NoiseData(500, 2), kStored));
  Save(folder, "plain.zip", plain.Finish("comment"));

  ZipWriter descriptors;
  Entry d = Make("d.txt", TextData(2000, 3), kDeflated);
  d.dataDescriptor = true;
  descriptors.Add(d);
  d.method = kStored;
  d.name = "s.txt";
  descriptors.Add(d);
  Save(folder, "descriptors.zip", descriptors.Finish());

  ZipWriter encrypted;
  Entry e = Make("e.txt", TextData(1000, 4), kDeflated);
  e.password = "secret";
  encrypted.Add(e);
  e.method = kStored;
  e.dataDescriptor = true;
  e.name = "e2.txt";
  encrypted.Add(e);
  Save(folder, "encrypted.zip", encrypted.Finish());

  ZipWriter hostile;
  hostile.Add(Make("../up.txt", "x", kStored));
  hostile.Add(Make("C:\\x.txt", "x", kStored));
  hostile.Add(Make("con.txt", "x", kStored));
  hostile.Add(Make("odd.bin", "x", 12));
  Save(folder, "hostile.zip", hostile.Finish());

  ZipWriter big;
  big.Add(Make("big.txt", std::string(600000, 'a'), kDeflated));
  Save(folder, "big.zip", big.Finish());

  Save(folder, "empty.zip", ZipWriter().Finish());
  return 0;
}

// The picture files that are built into setup.exe, by file name.
#pragma once

#include <string>
#include <vector>

#include "image_files.h"

namespace art {

struct OutputFile {
  std::string name;  // relative path, "/" between folders
  Bytes bytes;
};

std::vector<OutputFile> renderPictures();

// PNG copies of every picture for the documentation; icons enlarged four times over a
// chequer board that marks their transparent pixels.
std::vector<OutputFile> renderPreviews();

}  // namespace art

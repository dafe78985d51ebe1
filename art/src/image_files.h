// Encoders for the picture files of the medium: 24-bit BMP and JPEG through stb_image_write,
// and the two formats it lacks written by hand: the 16-colour icon and the 1-bit BMP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace art {

using Bytes = std::vector<std::uint8_t>;

Bytes encodeBmp24(const Image& image);
Bytes encodeJpeg(const Image& image, int quality);
Bytes encodePng(const Image& image);

// The 16 colours of the standard Windows palette, in palette order.
const std::vector<Color>& windowsPalette16();
int nearestPaletteIndex(Color c);

// A single-image .ico of 4 bits per pixel with an AND mask: pixels painted less than half
// (alpha below 0.5) are transparent.
Bytes encodeIco16(const Image& image);

// A 1-bit BMP; ink[y * width + x] true draws black on a white background.
Bytes encodeMonoBmp(int width, int height, const std::vector<bool>& ink);

// Writes the bytes, creating no folders; false when the file could not be written whole.
bool writeFile(const std::string& path, const Bytes& bytes);

}  // namespace art

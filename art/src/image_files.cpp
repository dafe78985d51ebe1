#include "image_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

namespace art {

namespace {

void appendToBytes(void* context, void* data, int size) {
  auto* out = static_cast<Bytes*>(context);
  auto* p = static_cast<std::uint8_t*>(data);
  out->insert(out->end(), p, p + size);
}

void put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}

void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

void putInfoHeader(Bytes& b, int width, int height, int bitCount, std::uint32_t imageSize, std::uint32_t colorsUsed) {
  put32(b, 40);
  put32(b, static_cast<std::uint32_t>(width));
  put32(b, static_cast<std::uint32_t>(height));
  put16(b, 1);
  put16(b, static_cast<unsigned>(bitCount));
  put32(b, 0);  // BI_RGB
  put32(b, imageSize);
  put32(b, 2835);  // 72 dpi
  put32(b, 2835);
  put32(b, colorsUsed);
  put32(b, 0);
}

void putPaletteEntry(Bytes& b, int r, int g, int bl) {
  b.push_back(static_cast<std::uint8_t>(bl));
  b.push_back(static_cast<std::uint8_t>(g));
  b.push_back(static_cast<std::uint8_t>(r));
  b.push_back(0);
}

int byteOf(float v) { return static_cast<int>(std::lround(std::min(1.0f, std::max(0.0f, v)) * 255)); }

}  // namespace

Bytes encodeBmp24(const Image& image) {
  Bytes out;
  auto rgb = image.toRgb8();
  stbi_write_bmp_to_func(appendToBytes, &out, image.width(), image.height(), 3, rgb.data());
  return out;
}

Bytes encodeJpeg(const Image& image, int quality) {
  Bytes out;
  auto rgb = image.toRgb8();
  stbi_write_jpg_to_func(appendToBytes, &out, image.width(), image.height(), 3, rgb.data(), quality);
  return out;
}

Bytes encodePng(const Image& image) {
  Bytes out;
  auto rgb = image.toRgb8();
  stbi_write_png_to_func(appendToBytes, &out, image.width(), image.height(), 3, rgb.data(), image.width() * 3);
  return out;
}

const std::vector<Color>& windowsPalette16() {
  static const std::vector<Color> palette = {
      rgb(0, 0, 0),     rgb(128, 0, 0),     rgb(0, 128, 0),     rgb(128, 128, 0),   rgb(0, 0, 128), rgb(128, 0, 128),
      rgb(0, 128, 128), rgb(192, 192, 192), rgb(128, 128, 128), rgb(255, 0, 0),     rgb(0, 255, 0), rgb(255, 255, 0),
      rgb(0, 0, 255),   rgb(255, 0, 255),   rgb(0, 255, 255),   rgb(255, 255, 255),
  };
  return palette;
}

int nearestPaletteIndex(Color c) {
  const auto& palette = windowsPalette16();
  int best = 0;
  float bestDistance = 1e9f;
  for (size_t i = 0; i < palette.size(); ++i) {
    // Weights after the eye's sensitivity, so greys do not drift into colours.
    float dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
    float d = 0.3f * dr * dr + 0.59f * dg * dg + 0.11f * db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

Bytes encodeIco16(const Image& image) {
  const int w = image.width(), h = image.height();
  const int xorStride = ((w * 4 + 31) / 32) * 4;
  const int andStride = ((w + 31) / 32) * 4;
  const std::uint32_t imageBytes = static_cast<std::uint32_t>((xorStride + andStride) * h);
  const std::uint32_t resourceBytes = 40 + 16 * 4 + imageBytes;

  Bytes b;
  put16(b, 0);  // reserved
  put16(b, 1);  // icon
  put16(b, 1);  // one image
  b.push_back(static_cast<std::uint8_t>(w == 256 ? 0 : w));
  b.push_back(static_cast<std::uint8_t>(h == 256 ? 0 : h));
  b.push_back(16);  // colours
  b.push_back(0);
  put16(b, 1);  // planes
  put16(b, 4);  // bits per pixel
  put32(b, resourceBytes);
  put32(b, 6 + 16);  // offset of the image

  // An icon's bitmap header counts the XOR and AND bitmaps together: twice the height.
  putInfoHeader(b, w, h * 2, 4, imageBytes, 0);
  for (const Color& c : windowsPalette16()) putPaletteEntry(b, byteOf(c.r), byteOf(c.g), byteOf(c.b));

  auto transparent = [&](int x, int y) { return image.alpha(x, y) < 0.5f; };
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(xorStride), 0);
    for (int x = 0; x < w; ++x) {
      int index = transparent(x, y) ? 0 : nearestPaletteIndex(image.at(x, y));
      row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  for (int y = h - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(andStride), 0);
    for (int x = 0; x < w; ++x)
      if (transparent(x, y)) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

Bytes encodeMonoBmp(int width, int height, const std::vector<bool>& ink) {
  const int stride = ((width + 31) / 32) * 4;
  const std::uint32_t pixelBytes = static_cast<std::uint32_t>(stride * height);
  const std::uint32_t offset = 14 + 40 + 2 * 4;

  Bytes b;
  b.push_back('B');
  b.push_back('M');
  put32(b, offset + pixelBytes);
  put32(b, 0);
  put32(b, offset);
  putInfoHeader(b, width, height, 1, pixelBytes, 2);
  putPaletteEntry(b, 0, 0, 0);        // 0: ink
  putPaletteEntry(b, 255, 255, 255);  // 1: background
  for (int y = height - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < width; ++x)
      if (!ink[static_cast<size_t>(y) * width + x]) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    b.insert(b.end(), row.begin(), row.end());
  }
  return b;
}

bool writeFile(const std::string& path, const Bytes& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), std::fclose);
  if (!f) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) return false;
  return std::fflush(f.get()) == 0;
}

}  // namespace art

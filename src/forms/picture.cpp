#include "picture.h"

#include "error.h"
#include "files.h"
#include "scaling.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb/stb_image.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace forms {

namespace {

// Icons take the standard size of the design; their handles are loaded at the screen's size.
constexpr int kIconSize = 32;

std::vector<unsigned char> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw platform::Error("Datei " + path + " kann nicht geöffnet werden");
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

// A 32-bit top-down DIB section holding RGBA pixels converted to the BGRA order of GDI.
HBITMAP BitmapFromRgb(const unsigned char* rgb, int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) platform::ThrowLastError("Bitmap kann nicht angelegt werden");
  auto* out = static_cast<unsigned char*>(bits);
  for (int i = 0; i < width * height; ++i) {
    out[4 * i + 0] = rgb[3 * i + 2];
    out[4 * i + 1] = rgb[3 * i + 1];
    out[4 * i + 2] = rgb[3 * i + 0];
    out[4 * i + 3] = 0;
  }
  return bmp;
}

HENHMETAFILE LoadMetafile(const std::string& path, const std::string& ext) {
  if (ext == ".EMF") return ::GetEnhMetaFileA(path.c_str());
  // A placeable metafile starts with a 22-byte header keyed 0x9AC6CDD7.
  std::vector<unsigned char> bytes = ReadWholeFile(path);
  size_t skip = 0;
  if (bytes.size() >= 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A) skip = 22;
  if (bytes.size() <= skip) return nullptr;
  return ::SetWinMetaFileBits(UINT(bytes.size() - skip), bytes.data() + skip, nullptr, nullptr);
}

}  // namespace

Picture::~Picture() {
  if (metafile_) ::DeleteEnhMetaFile(metafile_);
}

std::unique_ptr<Picture> Picture::FromBitmap(HBITMAP bitmap) {
  std::unique_ptr<Picture> p(new Picture());
  p->bitmap_.reset(bitmap);
  BITMAP bm{};
  ::GetObjectA(bitmap, sizeof bm, &bm);
  p->width_ = bm.bmWidth;
  p->height_ = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  return p;
}

std::unique_ptr<Picture> Picture::FromJpeg(const unsigned char* data, size_t size) {
  int w = 0, h = 0, n = 0;
  unsigned char* rgb = stbi_load_from_memory(data, int(size), &w, &h, &n, 3);
  if (!rgb) throw platform::Error(std::string("JPEG-Fehler: ") + stbi_failure_reason());
  HBITMAP bmp = nullptr;
  try {
    bmp = BitmapFromRgb(rgb, w, h);
  } catch (...) {
    stbi_image_free(rgb);
    throw;
  }
  stbi_image_free(rgb);
  return FromBitmap(bmp);
}

std::unique_ptr<Picture> Picture::LoadFromFile(const std::string& path) {
  const std::string ext = platform::UpperCase(platform::ExtractFileExt(path));
  if (!platform::FileExists(path)) throw platform::Error("Datei " + path + " nicht gefunden");
  if (ext == ".JPG" || ext == ".JPEG") {
    const std::vector<unsigned char> bytes = ReadWholeFile(path);
    return FromJpeg(bytes.data(), bytes.size());
  }
  if (ext == ".BMP") {
    auto bmp = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bmp) throw platform::Error("Ungültiges Bitmap: " + path);
    return FromBitmap(bmp);
  }
  if (ext == ".ICO") {
    auto icon =
        static_cast<HICON>(::LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE));
    if (!icon) throw platform::Error("Ungültiges Symbol: " + path);
    std::unique_ptr<Picture> p(new Picture());
    p->type_ = Type::Icon;
    p->icon_.reset(icon);
    p->width_ = p->height_ = kIconSize;
    return p;
  }
  if (ext == ".WMF" || ext == ".EMF") {
    HENHMETAFILE mf = LoadMetafile(path, ext);
    if (!mf) throw platform::Error("Ungültige Metadatei: " + path);
    std::unique_ptr<Picture> p(new Picture());
    p->type_ = Type::Metafile;
    p->metafile_ = mf;
    ENHMETAHEADER header{};
    ::GetEnhMetaFileHeader(mf, sizeof header, &header);
    p->width_ = header.rclBounds.right - header.rclBounds.left + 1;
    p->height_ = header.rclBounds.bottom - header.rclBounds.top + 1;
    return p;
  }
  throw platform::Error("Unbekannte Bilddateierweiterung (" + platform::ExtractFileExt(path) + ")");
}

std::unique_ptr<Picture> Picture::FromResource(const char* name) {
  HMODULE self = ::GetModuleHandleA(nullptr);
  if (::FindResourceA(self, name, RT_BITMAP)) {
    auto bmp = static_cast<HBITMAP>(::LoadImageA(self, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bmp) return FromBitmap(bmp);
  }
  if (::FindResourceA(self, name, RT_GROUP_ICON)) {
    auto icon = static_cast<HICON>(::LoadImageA(self, name, IMAGE_ICON, Scale(kIconSize), Scale(kIconSize), 0));
    if (icon) {
      std::unique_ptr<Picture> p(new Picture());
      p->type_ = Type::Icon;
      p->icon_.reset(icon);
      p->width_ = p->height_ = kIconSize;
      return p;
    }
  }
  if (HRSRC res = ::FindResourceA(self, name, RT_RCDATA)) {
    HGLOBAL data = ::LoadResource(self, res);
    const auto* bytes = static_cast<const unsigned char*>(::LockResource(data));
    if (bytes) return FromJpeg(bytes, ::SizeofResource(self, res));
  }
  return nullptr;
}

void Picture::Draw(HDC dc, const RECT& dest, bool transparent) const {
  const int w = dest.right - dest.left, h = dest.bottom - dest.top;
  switch (type_) {
    case Type::Icon: ::DrawIconEx(dc, dest.left, dest.top, icon_.get(), w, h, 0, nullptr, DI_NORMAL); return;
    case Type::Metafile: ::PlayEnhMetaFile(dc, metafile_, &dest); return;
    case Type::Bitmap: break;
  }
  platform::UniqueMemoryDc mem(::CreateCompatibleDC(dc));
  platform::SelectGuard select(mem.get(), bitmap_.get());
  if (transparent) {
    const COLORREF key = ::GetPixel(mem.get(), 0, height_ - 1);
    // gdi32's own entry point: msimg32, which offers the same, is no Known DLL.
    ::GdiTransparentBlt(dc, dest.left, dest.top, w, h, mem.get(), 0, 0, width_, height_, key);
  } else {
    ::SetStretchBltMode(dc, HALFTONE);
    ::StretchBlt(dc, dest.left, dest.top, w, h, mem.get(), 0, 0, width_, height_, SRCCOPY);
  }
}

}  // namespace forms

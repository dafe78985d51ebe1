// Pictures of images: bitmaps, icons, metafiles and JPEG images (decoded to a bitmap).
#pragma once

#include "handle.h"

#include <windows.h>

#include <memory>
#include <string>

namespace forms {

class Picture {
 public:
  enum class Type { Bitmap, Icon, Metafile };

  // The type follows the extension (.bmp, .ico, .wmf, .emf, .jpg, .jpeg); raises
  // platform::Error for a missing file, an unknown extension or a damaged picture.
  static std::unique_ptr<Picture> LoadFromFile(const std::string& path);
  // A built-in picture of the program's resources; nullptr when there is none.
  static std::unique_ptr<Picture> FromResource(const char* name);
  // Decodes JPEG bytes; raises platform::Error for damaged data.
  static std::unique_ptr<Picture> FromJpeg(const unsigned char* data, size_t size);

  ~Picture();
  Type GetType() const { return type_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HBITMAP Bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }

  // Draws into `dest`. Transparent bitmaps leave out the colour of their bottom-left pixel.
  void Draw(HDC dc, const RECT& dest, bool transparent) const;

 private:
  Picture() = default;
  static std::unique_ptr<Picture> FromBitmap(HBITMAP bitmap);

  Type type_ = Type::Bitmap;
  int width_ = 0;
  int height_ = 0;
  platform::UniqueGdiObject bitmap_;
  platform::UniqueIcon icon_;
  HENHMETAFILE metafile_ = nullptr;
};

}  // namespace forms

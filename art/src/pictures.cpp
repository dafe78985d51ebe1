#include "pictures.h"

#include <functional>

#include "scenes.h"

namespace art {

namespace {

enum class Format { Bmp, Ico, Jpeg };

struct PictureSpec {
  const char* name;
  Format format;
  std::function<Image()> render;
};

const std::vector<PictureSpec>& specs() {
  static const std::vector<PictureSpec> list = {
      {"form1_image2.bmp", Format::Bmp, logoPicture},
      {"form1_image3.bmp", Format::Bmp, sidePicture},
      {"form2_image1.bmp", Format::Bmp, [] { return pagePicture(Page::Welcome); }},
      {"form2_image3.bmp", Format::Bmp, [] { return pagePicture(Page::Licence); }},
      {"form2_image4.bmp", Format::Bmp, [] { return pagePicture(Page::Folder); }},
      {"form2_image5.bmp", Format::Bmp, [] { return pagePicture(Page::Options); }},
      {"form2_image6.bmp", Format::Bmp, [] { return pagePicture(Page::Ready); }},
      {"form2_image7.bmp", Format::Bmp, [] { return pagePicture(Page::Finish); }},
      {"form2_image8.bmp", Format::Bmp, [] { return pagePicture(Page::Infrared); }},
      {"form2_image9.bmp", Format::Bmp, [] { return pagePicture(Page::InfraredSetup); }},
      {"form2_image10.bmp", Format::Bmp, [] { return pagePicture(Page::Language); }},
      {"form2_image2.ico", Format::Ico, welcomeIcon},
      {"form2_image11.ico", Format::Ico, languageIcon},
      {"form3_image1.ico", Format::Ico, questionIcon},
      {"form7_image1.jpg", Format::Jpeg, splashPicture},
  };
  return list;
}

// What a 16-colour icon will look like, enlarged, over a chequer board.
Image iconPreview(const Image& icon) {
  const int zoom = 4;
  Image out(icon.width() * zoom, icon.height() * zoom);
  out.fill([&](int x, int y) {
    int sx = x / zoom, sy = y / zoom;
    if (icon.alpha(sx, sy) >= 0.5f) return windowsPalette16()[nearestPaletteIndex(icon.at(sx, sy))];
    return ((x / 8 + y / 8) % 2) ? rgb(204, 204, 204) : rgb(255, 255, 255);
  });
  return out;
}

std::string withExtension(const std::string& name, const std::string& ext) {
  return name.substr(0, name.rfind('.')) + ext;
}

}  // namespace

std::vector<OutputFile> renderPictures() {
  std::vector<OutputFile> files;
  for (const PictureSpec& spec : specs()) {
    Image image = spec.render();
    Bytes bytes;
    switch (spec.format) {
      case Format::Bmp: bytes = encodeBmp24(image); break;
      case Format::Ico: bytes = encodeIco16(image); break;
      case Format::Jpeg: bytes = encodeJpeg(image, 90); break;
    }
    files.push_back({spec.name, std::move(bytes)});
  }
  return files;
}

std::vector<OutputFile> renderPreviews() {
  std::vector<OutputFile> files;
  for (const PictureSpec& spec : specs()) {
    Image image = spec.render();
    if (spec.format == Format::Ico) image = iconPreview(image);
    files.push_back({withExtension(spec.name, ".png"), encodePng(image)});
  }
  return files;
}

}  // namespace art

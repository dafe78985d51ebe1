#include "Progress.h"

#include "scaling.h"

#include <algorithm>
#include <optional>

namespace {

RECT BoundsOf(const forms::ComponentDesign& d) {
  const int width = d.width > 0 ? d.width : forms::Scale(TProgress::kDefaultWidth);
  const int height = d.height > 0 ? d.height : forms::Scale(TProgress::kDefaultHeight);
  return RECT{d.left, d.top, d.left + width, d.top + height};
}

// An off-screen 32-bit top-down bitmap selected into a memory device context, whose pixels
// are also reachable directly (0x00RRGGBB each).
class Surface {
 public:
  Surface(HDC reference, int width, int height) : dc_(::CreateCompatibleDC(reference)) {
    if (!dc_) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(::CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_ || !bits) return;
    select_.emplace(dc_.get(), bitmap_.get());
    pixels_ = progress::Pixels{width, height, static_cast<uint32_t*>(bits)};
  }

  bool Ok() const { return pixels_.data != nullptr; }
  HDC Dc() const { return dc_.get(); }
  // GDI may still be drawing into the bitmap; flush before the pixels are touched directly.
  const progress::Pixels& PixelsAfterGdi() const {
    ::GdiFlush();
    return pixels_;
  }

 private:
  platform::UniqueMemoryDc dc_;
  platform::UniqueBitmap bitmap_;
  std::optional<platform::SelectGuard> select_;  // released first, before bitmap and DC
  progress::Pixels pixels_;
};

}  // namespace

TProgress::TProgress(forms::Form* owner, const forms::ComponentDesign& design, forms::Container* parent)
    : GraphicControl(owner, design.name, forms::Kind::Custom, parent, BoundsOf(design)),
      text_(design.text ? design.text : "") {}

void TProgress::SetBackColor(COLORREF color) {
  backColor_ = color;
  Invalidate();
}

void TProgress::SetBorderColor(COLORREF color) {
  borderColor_ = color;
  Invalidate();
}

void TProgress::SetFromColor(COLORREF color) {
  fromColor_ = color;
  Invalidate();
}

void TProgress::SetToColor(COLORREF color) {
  toColor_ = color;
  Invalidate();
}

void TProgress::SetProgress(int value) {
  if (value > 100 || value == progress_) return;
  progress_ = value;
  Repaint();
}

void TProgress::SetText(const std::string& text) {
  text_ = text;
  Repaint();
}

void TProgress::SetTextFont(const TProgressFont& font) {
  font_ = font;
  hfont_.reset();
  Invalidate();
}

HFONT TProgress::Font() {
  // Without smoothing every glyph pixel has exactly the text colour, so the whole text is
  // transferred onto the bar. The height is the design's, scaled like the form's fonts.
  if (!hfont_)
    hfont_.reset(::CreateFontA(forms::ScaleFont(font_.height), 0, 0, 0, font_.bold ? FW_BOLD : FW_NORMAL, font_.italic,
                               font_.underline, font_.strikeOut, font_.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font_.name.c_str()));
  return hfont_.get();
}

// System colours are resolved first, so that a text in the window-text colour appears.
void TProgress::DrawTextLayer(HDC reference, const progress::Pixels& back, int filledColumns) {
  Surface layer(reference, back.width, back.height);
  if (!layer.Ok()) return;
  const COLORREF textColor = forms::ResolveColor(font_.color) & 0xFFFFFF;
  const uint32_t background = progress::TextLayerBackground(textColor);
  const progress::Pixels& pixels = layer.PixelsAfterGdi();
  std::fill(pixels.data, pixels.data + size_t(back.width) * size_t(back.height), progress::PixelFromColor(background));

  platform::SelectGuard font(layer.Dc(), Font());
  ::SetTextColor(layer.Dc(), textColor);
  ::SetBkColor(layer.Dc(), background);
  ::SetBkMode(layer.Dc(), OPAQUE);
  SIZE extent{};
  ::GetTextExtentPoint32A(layer.Dc(), text_.c_str(), int(text_.size()), &extent);
  const int left = progress::CentredStart(back.width, extent.cx);
  const int top = progress::CentredStart(back.height, extent.cy);
  ::TextOutA(layer.Dc(), left, top, text_.c_str(), int(text_.size()));
  progress::TransferText(layer.PixelsAfterGdi(), back, textColor, left, filledColumns);
}

void TProgress::Paint(HDC dc, const RECT& bounds) {
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return;
  Surface back(dc, width, height);
  if (!back.Ok()) return;  // no memory for the bitmap: the bar stays as it was
  progress::BarColors colors;
  colors.back = forms::ResolveColor(backColor_);
  colors.border = forms::ResolveColor(borderColor_);
  colors.from = forms::ResolveColor(fromColor_);
  colors.to = forms::ResolveColor(toColor_);
  const progress::Pixels& pixels = back.PixelsAfterGdi();
  progress::DrawBar(pixels, colors, progress_);
  if (!text_.empty()) DrawTextLayer(dc, pixels, progress::FilledColumns(progress_, width));
  ::BitBlt(dc, bounds.left, bounds.top, width, height, back.Dc(), 0, 0, SRCCOPY);
}

std::unique_ptr<TProgress> CreateProgress(forms::Form* owner, const forms::ComponentDesign& design,
                                          forms::Container* parent) {
  return std::make_unique<TProgress>(owner, design, parent);
}

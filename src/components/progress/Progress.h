// TProgress: a windowless progress bar filled from the left with a colour gradient inside a
// one-pixel border, with an optional centred text drawn in its own colour over the empty part
// and in the inverse colour over the filled part. Every paint composes the whole bar off-screen
// and copies it to the parent's surface in one operation.
#pragma once

#include "component.h"
#include "handle.h"
#include "progress_bar.h"

#include <windows.h>

#include <memory>
#include <string>

// The font of the bar's text. A colour with the high bit set names a system colour.
struct TProgressFont {
  std::string name = "MS Sans Serif";
  int height = -11;  // negative: character height in pixels of the design, as CreateFont takes it
  COLORREF color = forms::kWindowText;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  BYTE charset = DEFAULT_CHARSET;
};

class TProgress : public forms::GraphicControl {
 public:
  // The size of a new control in pixels of the design; a design row of width or height 0 gets it.
  static constexpr int kDefaultWidth = 217;
  static constexpr int kDefaultHeight = 40;

  // The design row's text becomes Text.
  TProgress(forms::Form* owner, const forms::ComponentDesign& design, forms::Container* parent);

  // Colours store the value and repaint with the next paint message.
  COLORREF BackColor() const { return backColor_; }
  void SetBackColor(COLORREF color);
  COLORREF BorderColor() const { return borderColor_; }
  void SetBorderColor(COLORREF color);
  COLORREF FromColor() const { return fromColor_; }
  void SetFromColor(COLORREF color);
  COLORREF ToColor() const { return toColor_; }
  void SetToColor(COLORREF color);

  int Progress() const { return progress_; }
  // Values above 100 and the current value are ignored; any other value, negative ones
  // included, is stored and the bar is painted at once.
  void SetProgress(int value);

  const std::string& Text() const { return text_; }
  // Stores the text and paints at once, also when it is unchanged.
  void SetText(const std::string& text);

  const TProgressFont& TextFont() const { return font_; }
  // Takes over the font's attributes; repaints with the next paint message.
  void SetTextFont(const TProgressFont& font);

  void Paint(HDC dc, const RECT& bounds) override;

 private:
  HFONT Font();
  void DrawTextLayer(HDC reference, const progress::Pixels& back, int filledColumns);

  COLORREF backColor_ = 0xFFFFFF;
  COLORREF borderColor_ = 0;
  COLORREF fromColor_ = 0x00FF00;
  COLORREF toColor_ = 0x0000FF;
  int progress_ = 0;
  std::string text_;
  TProgressFont font_;
  platform::UniqueFont hfont_;  // made from font_ at the first paint that needs it
};

// Makes the Progress1-style component of a form's design row (Kind::Custom).
std::unique_ptr<TProgress> CreateProgress(forms::Form* owner, const forms::ComponentDesign& design,
                                          forms::Container* parent);

// Checks the files that talvenor_art produces: sizes and formats as the setup program and
// the phone tools will read them, read back through independent decoders where there are.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "midi.h"
#include "payload.h"
#include "pictures.h"
#include "scenes.h"
#include "stroke_font.h"

namespace {

using art::Bytes;

unsigned le16(const Bytes& b, size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t le32(const Bytes& b, size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }
std::uint32_t be32(const Bytes& b, size_t at) {
  return (std::uint32_t(b.at(at)) << 24) | (b.at(at + 1) << 16) | (b.at(at + 2) << 8) | b.at(at + 3);
}

std::map<std::string, Bytes> byName(const std::vector<art::OutputFile>& files) {
  std::map<std::string, Bytes> out;
  for (const auto& f : files) out[f.name] = f.bytes;
  return out;
}

struct Decoded {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  std::uint8_t channel(int x, int y, int c) const { return rgb[(y * width + x) * 3 + c]; }
};

Decoded decode(const Bytes& bytes) {
  Decoded d;
  int comp = 0;
  stbi_uc* px = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &d.width, &d.height, &comp, 3);
  if (px) {
    d.rgb.assign(px, px + d.width * d.height * 3);
    stbi_image_free(px);
  }
  return d;
}

const std::map<std::string, Bytes>& pictures() {
  static const auto files = byName(art::renderPictures());
  return files;
}

const std::map<std::string, Bytes>& payload() {
  static const auto files = byName(art::renderPayload());
  return files;
}

// ---- pictures ------------------------------------------------------------------------

TEST(Pictures, BitmapsAre24BitWithTheirDesignSizes) {
  const std::map<std::string, std::pair<int, int>> sizes = {
      {"form1_image2.bmp", {327, 91}},  {"form1_image3.bmp", {300, 585}},  {"form2_image1.bmp", {120, 236}},
      {"form2_image3.bmp", {120, 236}}, {"form2_image4.bmp", {120, 236}},  {"form2_image5.bmp", {120, 236}},
      {"form2_image6.bmp", {120, 236}}, {"form2_image7.bmp", {120, 236}},  {"form2_image8.bmp", {120, 236}},
      {"form2_image9.bmp", {120, 236}}, {"form2_image10.bmp", {120, 236}},
  };
  for (const auto& [name, size] : sizes) {
    SCOPED_TRACE(name);
    ASSERT_EQ(pictures().count(name), 1u);
    const Bytes& b = pictures().at(name);
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le16(b, 28), 24u);  // bits per pixel
    EXPECT_EQ(le32(b, 30), 0u);   // uncompressed
    Decoded d = decode(b);
    EXPECT_EQ(d.width, size.first);
    EXPECT_EQ(d.height, size.second);
  }
}

TEST(Pictures, SplashIsA400By300Jpeg) {
  const Bytes& b = pictures().at("form7_image1.jpg");
  ASSERT_GE(b.size(), 4u);
  EXPECT_EQ(b[0], 0xFF);
  EXPECT_EQ(b[1], 0xD8);
  EXPECT_EQ(b[b.size() - 2], 0xFF);
  EXPECT_EQ(b[b.size() - 1], 0xD9);
  Decoded d = decode(b);
  EXPECT_EQ(d.width, 400);
  EXPECT_EQ(d.height, 300);
}

TEST(Pictures, EveryPictureHasContentAndDiffersFromTheOthers) {
  std::map<Bytes, std::string> seen;
  for (const auto& [name, bytes] : pictures()) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(seen.emplace(bytes, name).second) << "same as " << seen[bytes];
    if (name.size() > 4 && name.substr(name.size() - 4) == ".ico") continue;
    Decoded d = decode(bytes);
    ASSERT_FALSE(d.rgb.empty());
    std::map<std::uint32_t, int> colours;
    for (size_t i = 0; i + 2 < d.rgb.size(); i += 3) ++colours[(d.rgb[i] << 16) | (d.rgb[i + 1] << 8) | d.rgb[i + 2]];
    EXPECT_GT(colours.size(), 50u);
  }
}

TEST(Pictures, BackgroundScreenPicturesHaveTheTransparentColourAtTheBottomLeft) {
  const art::Color key = art::transparentKey();
  for (const char* name : {"form1_image2.bmp", "form1_image3.bmp"}) {
    SCOPED_TRACE(name);
    Decoded d = decode(pictures().at(name));
    ASSERT_FALSE(d.rgb.empty());
    EXPECT_EQ(d.channel(0, d.height - 1, 0), std::lround(key.r * 255));
    EXPECT_EQ(d.channel(0, d.height - 1, 1), std::lround(key.g * 255));
    EXPECT_EQ(d.channel(0, d.height - 1, 2), std::lround(key.b * 255));
  }
  // The logo's lettering is light on the blue background.
  Decoded logo = decode(pictures().at("form1_image2.bmp"));
  int light = 0;
  for (int y = 0; y < logo.height; ++y)
    for (int x = 100; x < logo.width; ++x) light += logo.channel(x, y, 0) > 200 && logo.channel(x, y, 1) > 200;
  EXPECT_GT(light, 1000);
}

// ---- icons ---------------------------------------------------------------------------

struct Icon {
  int width = 0, height = 0;
  std::vector<int> index;         // palette index per pixel, top row first
  std::vector<bool> transparent;  // AND mask per pixel
  int at(int x, int y) const { return index[y * width + x]; }
  bool clear(int x, int y) const { return transparent[y * width + x]; }
};

// Reads a single-image 4-bit .ico, checking every header field against the data.
Icon readIcon16(const Bytes& b) {
  Icon icon;
  EXPECT_EQ(le16(b, 0), 0u);
  EXPECT_EQ(le16(b, 2), 1u);  // icon, not cursor
  EXPECT_EQ(le16(b, 4), 1u);  // one image
  icon.width = b.at(6);
  icon.height = b.at(7);
  EXPECT_EQ(b.at(8), 16);      // colour count
  EXPECT_EQ(le16(b, 12), 4u);  // bits per pixel in the directory
  const std::uint32_t size = le32(b, 14), offset = le32(b, 18);
  EXPECT_EQ(offset, 22u);
  EXPECT_EQ(offset + size, b.size());

  const size_t h = offset;
  EXPECT_EQ(le32(b, h), 40u);
  EXPECT_EQ(static_cast<int>(le32(b, h + 4)), icon.width);
  EXPECT_EQ(static_cast<int>(le32(b, h + 8)), icon.height * 2);  // XOR and AND bitmaps
  EXPECT_EQ(le16(b, h + 14), 4u);
  EXPECT_EQ(le32(b, h + 16), 0u);
  const size_t xorAt = h + 40 + 16 * 4;
  const size_t xorStride = ((icon.width * 4 + 31) / 32) * 4;
  const size_t andAt = xorAt + xorStride * icon.height;
  const size_t andStride = ((icon.width + 31) / 32) * 4;
  EXPECT_EQ(andAt + andStride * icon.height, b.size());
  if (andAt + andStride * icon.height > b.size()) return icon;

  for (int y = 0; y < icon.height; ++y) {
    int row = icon.height - 1 - y;  // stored bottom-up
    for (int x = 0; x < icon.width; ++x) {
      std::uint8_t pair = b[xorAt + row * xorStride + x / 2];
      icon.index.push_back(x % 2 == 0 ? pair >> 4 : pair & 0x0F);
      icon.transparent.push_back((b[andAt + row * andStride + x / 8] >> (7 - x % 8)) & 1);
    }
  }
  return icon;
}

TEST(Icons, AreThirtyTwoSquareSixteenColourIconsWithAMask) {
  for (const char* name : {"form2_image2.ico", "form2_image11.ico", "form3_image1.ico"}) {
    SCOPED_TRACE(name);
    Icon icon = readIcon16(pictures().at(name));
    EXPECT_EQ(icon.width, 32);
    EXPECT_EQ(icon.height, 32);
    ASSERT_EQ(icon.index.size(), 32u * 32u);
    int clear = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (icon.clear(x, y)) {
          ++clear;
          // Transparent pixels must leave the screen untouched: colour 0 (black).
          EXPECT_EQ(icon.at(x, y), 0);
        }
    EXPECT_GT(clear, 50);
    EXPECT_LT(clear, 32 * 32 - 200);
  }
}

TEST(Icons, QuestionIconIsABlueMarkInAWhiteBubble) {
  Icon icon = readIcon16(pictures().at("form3_image1.ico"));
  ASSERT_EQ(icon.index.size(), 32u * 32u);
  constexpr int kBlue = 12, kWhite = 15;
  int blue = 0, white = 0;
  for (int i : icon.index) {
    blue += i == kBlue;
    white += i == kWhite;
  }
  EXPECT_GT(blue, 25);
  EXPECT_GT(white, 200);
  EXPECT_TRUE(icon.clear(0, 0));
  EXPECT_TRUE(icon.clear(31, 31));
  EXPECT_FALSE(icon.clear(16, 13));
}

TEST(Icons, PaletteColoursMapOntoThemselves) {
  const auto& palette = art::windowsPalette16();
  ASSERT_EQ(palette.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(art::nearestPaletteIndex(palette[i]), i);
  EXPECT_EQ(art::nearestPaletteIndex(art::rgb(10, 10, 240)), 12);
  EXPECT_EQ(art::nearestPaletteIndex(art::rgb(250, 250, 250)), 15);
}

// ---- lettering -----------------------------------------------------------------------

TEST(StrokeFont, DrawsTheTextsOfThePictures) {
  for (const char* text : {"Talvenor", "IHR HANDY AM PC", "Version 2.0"}) EXPECT_TRUE(art::canDraw(text)) << text;
  EXPECT_FALSE(art::canDraw("\xE4"));  // no umlauts: the pictures avoid them
}

TEST(StrokeFont, FittedTextStaysInsideItsWidth) {
  art::TextStyle style;
  style.capHeight = 40;
  style.penWidth = 6;
  art::TextStyle fitted = art::fitText("Talvenor", style, 40, 120);
  EXPECT_LE(art::textWidth("Talvenor", fitted), 120);
  EXPECT_LT(fitted.capHeight, 40);
  EXPECT_NEAR(fitted.penWidth / fitted.capHeight, 0.15f, 0.001f);

  art::Mask mask(160, 60);
  art::drawText(mask, "Talvenor", 10, 50, fitted);
  int covered = 0, outside = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 160; ++x) {
      bool ink = mask.at(x, y) > 0.5f;
      covered += ink;
      outside += ink && (x < 9 || x > 10 + 120 + fitted.slant * fitted.capHeight);
    }
  EXPECT_GT(covered, 200);
  EXPECT_EQ(outside, 0);
}

// ---- payload -------------------------------------------------------------------------

TEST(Payload, HoldsProgramLogosAndRingtones) {
  for (const char* name : {"talv20.exe", "logos/talvenor.bmp", "logos/hallo.bmp", "logos/netz.bmp",
                           "klingeltoene/fruehling.mid", "klingeltoene/signal.mid", "klingeltoene/walzer.mid"})
    EXPECT_EQ(payload().count(name), 1u) << name;
}

TEST(Payload, OperatorLogosAre72By14MonochromeBitmaps) {
  for (const char* name : {"logos/talvenor.bmp", "logos/hallo.bmp", "logos/netz.bmp"}) {
    SCOPED_TRACE(name);
    const Bytes& b = payload().at(name);
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 18), 72u);
    EXPECT_EQ(le32(b, 22), 14u);
    EXPECT_EQ(le16(b, 28), 1u);
    Decoded d = decode(b);
    ASSERT_EQ(d.width, 72);
    ASSERT_EQ(d.height, 14);
    int ink = 0;
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 72; ++x) {
        int v = d.channel(x, y, 0);
        EXPECT_TRUE(v == 0 || v == 255);
        ink += v == 0;
      }
    EXPECT_GT(ink, 60);
  }
}

TEST(Payload, MonochromeBitmapKeepsEveryPixelInPlace) {
  // A pattern that is not symmetric in x or y catches flipped rows and bit order.
  std::vector<bool> ink(static_cast<size_t>(art::kLogoWidth) * art::kLogoHeight);
  for (int y = 0; y < art::kLogoHeight; ++y)
    for (int x = 0; x < art::kLogoWidth; ++x) ink[y * art::kLogoWidth + x] = (x * 3 + y * y) % 7 == 0 || x == y;
  Decoded d = decode(art::encodeMonoBmp(art::kLogoWidth, art::kLogoHeight, ink));
  ASSERT_EQ(d.width, art::kLogoWidth);
  ASSERT_EQ(d.height, art::kLogoHeight);
  for (int y = 0; y < art::kLogoHeight; ++y)
    for (int x = 0; x < art::kLogoWidth; ++x)
      EXPECT_EQ(d.channel(x, y, 0) == 0, ink[y * art::kLogoWidth + x]) << x << "," << y;
}

TEST(Payload, ProgramStubIsAConsistentDosExecutable) {
  const Bytes& b = payload().at("talv20.exe");
  ASSERT_GE(b.size(), 64u);
  EXPECT_EQ(b[0], 'M');
  EXPECT_EQ(b[1], 'Z');
  const unsigned lastPage = le16(b, 2), pages = le16(b, 4), header = le16(b, 8) * 16;
  EXPECT_EQ((pages - 1) * 512 + (lastPage ? lastPage : 512), b.size());
  // mov dx, imm16 points at the message, which DOS prints up to the '$'.
  ASSERT_EQ(b[header + 2], 0xBA);
  const size_t message = header + le16(b, header + 3);
  ASSERT_LT(message, b.size());
  const std::string text(b.begin() + message, b.end());
  EXPECT_EQ(text.find("Talvenor"), 0u);
  EXPECT_EQ(text.back(), '$');
}

// ---- ringtones -----------------------------------------------------------------------

Bytes varLen(std::uint32_t v) {
  Bytes out;
  art::appendVarLen(out, v);
  return out;
}

TEST(Midi, VariableLengthQuantities) {
  EXPECT_EQ(varLen(0), (Bytes{0x00}));
  EXPECT_EQ(varLen(0x40), (Bytes{0x40}));
  EXPECT_EQ(varLen(0x7F), (Bytes{0x7F}));
  EXPECT_EQ(varLen(0x80), (Bytes{0x81, 0x00}));
  EXPECT_EQ(varLen(0x2000), (Bytes{0xC0, 0x00}));
  EXPECT_EQ(varLen(0x3FFF), (Bytes{0xFF, 0x7F}));
  EXPECT_EQ(varLen(0x4000), (Bytes{0x81, 0x80, 0x00}));
  EXPECT_EQ(varLen(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
}

struct TrackSummary {
  int noteOns = 0, noteOffs = 0;
  std::uint32_t ticks = 0;
  bool ended = false;
  bool wellFormed = true;
};

// Walks a format-0 file's one track the way a player does.
TrackSummary readTrack(const Bytes& b) {
  TrackSummary s;
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "MThd");
  EXPECT_EQ(be32(b, 4), 6u);
  EXPECT_EQ((b[8] << 8) | b[9], 0);    // format 0
  EXPECT_EQ((b[10] << 8) | b[11], 1);  // one track
  EXPECT_EQ((b[12] << 8) | b[13], art::kTicksPerQuarter);
  EXPECT_EQ(std::string(b.begin() + 14, b.begin() + 18), "MTrk");
  const size_t end = 22 + be32(b, 18);
  EXPECT_EQ(end, b.size());
  size_t p = 22;
  auto readVar = [&] {
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && p < end; ++i) {
      std::uint8_t c = b[p++];
      v = (v << 7) | (c & 0x7F);
      if (!(c & 0x80)) break;
    }
    return v;
  };
  while (p < end && !s.ended) {
    s.ticks += readVar();
    std::uint8_t status = b[p++];
    if (status == 0xFF) {
      std::uint8_t type = b[p++];
      std::uint32_t len = readVar();
      s.ended = type == 0x2F && len == 0;
      p += len;
    } else if ((status & 0xF0) == 0x90 || (status & 0xF0) == 0x80) {
      ((status & 0xF0) == 0x90 ? s.noteOns : s.noteOffs)++;
      if (b[p] > 127 || b[p + 1] > 127) s.wellFormed = false;
      p += 2;
    } else if ((status & 0xF0) == 0xC0) {
      p += 1;
    } else {
      s.wellFormed = false;
      break;
    }
  }
  s.wellFormed = s.wellFormed && p == end;
  return s;
}

TEST(Midi, TunesAreCompleteSingleTrackFiles) {
  const char* files[] = {"klingeltoene/fruehling.mid", "klingeltoene/signal.mid", "klingeltoene/walzer.mid"};
  std::vector<art::Tune> tunes = art::sampleTunes();
  ASSERT_EQ(tunes.size(), 3u);
  for (size_t i = 0; i < tunes.size(); ++i) {
    SCOPED_TRACE(files[i]);
    int notes = 0, eighths = 0;
    for (const art::Note& n : tunes[i].notes) {
      notes += n.pitch != art::kRest;
      eighths += n.eighths;
    }
    // Whole bars only: the tunes loop cleanly on a phone.
    EXPECT_EQ(eighths % (tunes[i].beatsPerBar * 2), 0);
    TrackSummary s = readTrack(payload().at(files[i]));
    EXPECT_TRUE(s.wellFormed);
    EXPECT_TRUE(s.ended);
    EXPECT_EQ(s.noteOns, notes);
    EXPECT_EQ(s.noteOffs, notes);
    EXPECT_EQ(s.ticks, static_cast<std::uint32_t>(eighths * art::kTicksPerQuarter / 2));
  }
}

TEST(Midi, TrailingRestIsKeptBeforeTheEndOfTrack) {
  art::Tune tune{"Test", 120, 4, 0, {{60, 2}, {art::kRest, 6}}};
  TrackSummary s = readTrack(art::encodeMidi(tune));
  EXPECT_TRUE(s.ended);
  EXPECT_EQ(s.noteOns, 1);
  EXPECT_EQ(s.ticks, 8u * art::kTicksPerQuarter / 2);
}

}  // namespace

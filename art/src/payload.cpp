#include "payload.h"

#include <cstdint>

namespace art {

namespace {

// MIDI note numbers of the notes the tunes use.
enum Pitch {
  C5 = 72,
  D5 = 74,
  E5 = 76,
  F5 = 77,
  G5 = 79,
  A5 = 81,
  B5 = 83,
  C6 = 84,
  D6 = 86,
  E6 = 88,
  G6 = 91,
  A6 = 93,
};

void put16(Bytes& b, unsigned v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}

void drawPhoneGlyph(Bitmap1& b, int x, int y) {
  for (int yy = 2; yy < 14; ++yy) {
    b.set(x, y + yy);
    b.set(x + 6, y + yy);
  }
  for (int xx = 0; xx <= 6; ++xx) {
    b.set(x + xx, y + 2);
    b.set(x + xx, y + 13);
  }
  b.set(x + 5, y);
  b.set(x + 5, y + 1);
  for (int yy = 4; yy < 7; ++yy)
    for (int xx = 2; xx <= 4; ++xx) b.set(x + xx, y + yy);
  for (int yy = 8; yy < 13; yy += 2)
    for (int xx = 2; xx <= 4; xx += 2) b.set(x + xx, y + yy);
}

void drawHeart(Bitmap1& b, int x, int y) {
  const char* rows[] = {".##.##.", "#######", "#######", ".#####.", "..###..", "...#..."};
  for (int r = 0; r < 6; ++r)
    for (int c = 0; c < 7; ++c)
      if (rows[r][c] == '#') b.set(x + c, y + r);
}

Bitmap1 logoTalvenor() {
  Bitmap1 b(kLogoWidth, kLogoHeight);
  drawPhoneGlyph(b, 1, 0);
  drawPixelText(b, "TALVENOR", 12, 2);
  for (int x = 12; x < 12 + pixelTextWidth("TALVENOR"); x += 2) b.set(x, 11);
  return b;
}

Bitmap1 logoHallo() {
  Bitmap1 b(kLogoWidth, kLogoHeight);
  drawPixelText(b, "HALLO", 0, 0, 2);
  drawHeart(b, 63, 4);
  return b;
}

Bitmap1 logoNetz() {
  Bitmap1 b(kLogoWidth, kLogoHeight);
  for (int bar = 0; bar < 4; ++bar)
    for (int y = 12 - bar * 3; y < 14; ++y) {
      b.set(bar * 3, y);
      b.set(bar * 3 + 1, y);
    }
  drawPixelText(b, "MEIN NETZ", 15, 3);
  return b;
}

}  // namespace

Bytes dosStubProgram(const std::string& message) {
  constexpr unsigned kHeaderParagraphs = 2;  // 32 bytes of header
  // push cs; pop ds; mov dx, message; mov ah, 9; int 21h; mov ax, 4C01h; int 21h
  Bytes code = {0x0E, 0x1F, 0xBA, 0x00, 0x00, 0xB4, 0x09, 0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21};
  code[3] = static_cast<std::uint8_t>(code.size());
  code.insert(code.end(), message.begin(), message.end());
  code.insert(code.end(), {'\r', '\n', '$'});

  const unsigned fileSize = kHeaderParagraphs * 16 + static_cast<unsigned>(code.size());
  Bytes exe = {'M', 'Z'};
  put16(exe, fileSize % 512);          // bytes in the last page
  put16(exe, (fileSize + 511) / 512);  // pages
  put16(exe, 0);                       // relocations
  put16(exe, kHeaderParagraphs);
  put16(exe, 0x10);                                              // extra paragraphs needed: room for the stack
  put16(exe, 0xFFFF);                                            // extra paragraphs wanted
  put16(exe, 0);                                                 // SS, relative to the program
  put16(exe, static_cast<unsigned>(code.size() + 0x100) & ~1u);  // SP
  put16(exe, 0);                                                 // checksum
  put16(exe, 0);                                                 // IP
  put16(exe, 0);                                                 // CS
  put16(exe, 0x1C);                                              // relocation table offset
  put16(exe, 0);                                                 // overlay
  exe.resize(kHeaderParagraphs * 16, 0);
  exe.insert(exe.end(), code.begin(), code.end());
  return exe;
}

std::vector<Tune> sampleTunes() {
  return {
      {"Fruehling", 132, 4, 73, {{E5, 1}, {G5, 1}, {C6, 2}, {B5, 1}, {G5, 1}, {A5, 2}, {G5, 1}, {E5, 1},
                                 {F5, 1}, {D5, 1}, {E5, 2}, {C5, 2}, {D5, 1}, {E5, 1}, {F5, 1}, {G5, 1},
                                 {A5, 2}, {G5, 2}, {E5, 1}, {D5, 1}, {C5, 1}, {D5, 1}, {C5, 4}}},
      {"Signal", 160, 4, 80, {{A5, 1}, {A5, 1},    {E6, 1}, {kRest, 1}, {A5, 1}, {C6, 1}, {E6, 2}, {D6, 1}, {C6, 1},
                              {A5, 1}, {kRest, 1}, {A5, 1}, {E6, 1},    {A6, 2}, {A5, 1}, {A5, 1}, {E6, 1}, {kRest, 1},
                              {A5, 1}, {C6, 1},    {E6, 2}, {G6, 1},    {E6, 1}, {C6, 1}, {D6, 1}, {A5, 4}}},
      {"Walzer",
       150,
       3,
       11,
       {{C5, 2},
        {E5, 2},
        {G5, 2},
        {G5, 4},
        {E5, 2},
        {F5, 2},
        {A5, 2},
        {C6, 2},
        {C6, 4},
        {A5, 2},
        {G5, 2},
        {F5, 2},
        {E5, 2},
        {D5, 2},
        {E5, 2},
        {F5, 2},
        {E5, 4},
        {D5, 2},
        {C5, 6}}},
  };
}

std::vector<OutputFile> renderPayload() {
  std::vector<OutputFile> files;
  files.push_back({"talv20.exe", dosStubProgram("Talvenor 2.0 erfordert Windows.")});
  const struct {
    const char* name;
    Bitmap1 (*draw)();
  } logos[] = {{"logos/talvenor.bmp", logoTalvenor}, {"logos/hallo.bmp", logoHallo}, {"logos/netz.bmp", logoNetz}};
  for (const auto& logo : logos) {
    Bitmap1 b = logo.draw();
    files.push_back({logo.name, encodeMonoBmp(b.width(), b.height(), b.pixels())});
  }
  const char* tuneFiles[] = {"klingeltoene/fruehling.mid", "klingeltoene/signal.mid", "klingeltoene/walzer.mid"};
  std::vector<Tune> tunes = sampleTunes();
  for (size_t i = 0; i < tunes.size(); ++i) files.push_back({tuneFiles[i], encodeMidi(tunes[i])});
  return files;
}

}  // namespace art

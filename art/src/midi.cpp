#include "midi.h"

namespace art {

namespace {

constexpr std::uint8_t kChannel = 0;
constexpr std::uint8_t kVelocity = 100;
constexpr int kTicksPerEighth = kTicksPerQuarter / 2;
// Notes are released a little early so that repeated pitches are heard apart.
constexpr int kReleaseGap = 6;

void putBig16(Bytes& b, unsigned v) {
  b.push_back((v >> 8) & 0xFF);
  b.push_back(v & 0xFF);
}

void putBig32(Bytes& b, std::uint32_t v) {
  putBig16(b, v >> 16);
  putBig16(b, v & 0xFFFF);
}

void putMeta(Bytes& track, std::uint8_t type, const Bytes& data, std::uint32_t delta = 0) {
  appendVarLen(track, delta);
  track.push_back(0xFF);
  track.push_back(type);
  appendVarLen(track, static_cast<std::uint32_t>(data.size()));
  track.insert(track.end(), data.begin(), data.end());
}

}  // namespace

void appendVarLen(Bytes& out, std::uint32_t value) {
  std::uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(groups[--n] | 0x80);
  out.push_back(groups[0]);
}

Bytes encodeMidi(const Tune& tune) {
  Bytes track;
  putMeta(track, 0x03, Bytes(tune.title.begin(), tune.title.end()));
  const std::uint32_t microsPerQuarter = 60000000u / static_cast<std::uint32_t>(tune.beatsPerMinute);
  putMeta(track, 0x51,
          {static_cast<std::uint8_t>(microsPerQuarter >> 16), static_cast<std::uint8_t>(microsPerQuarter >> 8),
           static_cast<std::uint8_t>(microsPerQuarter)});
  // Time signature: beats per bar, quarter notes (2 = 2^2), 24 clocks a click, 8 32nds a quarter.
  putMeta(track, 0x58, {static_cast<std::uint8_t>(tune.beatsPerBar), 2, 24, 8});
  appendVarLen(track, 0);
  track.push_back(0xC0 | kChannel);
  track.push_back(static_cast<std::uint8_t>(tune.program));

  std::uint32_t pending = 0;  // ticks since the last event
  for (const Note& note : tune.notes) {
    const std::uint32_t length = static_cast<std::uint32_t>(note.eighths * kTicksPerEighth);
    if (note.pitch == kRest) {
      pending += length;
      continue;
    }
    appendVarLen(track, pending);
    track.push_back(0x90 | kChannel);
    track.push_back(static_cast<std::uint8_t>(note.pitch));
    track.push_back(kVelocity);
    appendVarLen(track, length - kReleaseGap);
    track.push_back(0x80 | kChannel);
    track.push_back(static_cast<std::uint8_t>(note.pitch));
    track.push_back(64);
    pending = kReleaseGap;
  }
  // The end of the track keeps a closing pause.
  putMeta(track, 0x2F, {}, pending);

  Bytes file = {'M', 'T', 'h', 'd'};
  putBig32(file, 6);
  putBig16(file, 0);  // format 0: a single track
  putBig16(file, 1);
  putBig16(file, kTicksPerQuarter);
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  putBig32(file, static_cast<std::uint32_t>(track.size()));
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

}  // namespace art

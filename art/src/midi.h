// Standard MIDI Files (format 0, one track) for the sample ringtones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "image_files.h"

namespace art {

struct Note {
  int pitch;    // MIDI note number, 60 = middle C; kRest for a pause
  int eighths;  // length in eighth notes
};

constexpr int kRest = -1;

struct Tune {
  std::string title;
  int beatsPerMinute;
  int beatsPerBar;  // quarter notes in a bar
  int program;      // General MIDI instrument, 0-based
  std::vector<Note> notes;
};

constexpr int kTicksPerQuarter = 96;

// Appends a MIDI variable-length quantity (7 bits a byte, high bit set on all but the last).
void appendVarLen(Bytes& out, std::uint32_t value);
Bytes encodeMidi(const Tune& tune);

}  // namespace art

// The generated part of the Talvenor program files packed into Setup.zip: the program
// placeholder, sample operator logos and ringtones. Texts of the payload are kept as files
// beside the medium.
#pragma once

#include <string>
#include <vector>

#include "midi.h"
#include "pictures.h"
#include "pixel_font.h"

namespace art {

constexpr int kLogoWidth = 72, kLogoHeight = 14;

// A small DOS program that prints the message and ends: the stub that stands in for the
// Talvenor program on the demo medium.
Bytes dosStubProgram(const std::string& message);

std::vector<Tune> sampleTunes();
std::vector<OutputFile> renderPayload();

}  // namespace art

#include "wizard_rules.h"

#include <cmath>

namespace wizard {

namespace {

bool HasLanguageExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  for (char& c : ext)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return ext == ".LNG";
}

// Halves to the even neighbour, whatever rounding mode the process runs in.
double RoundHalfEven(double x) {
  const double floor = std::floor(x);
  const double fraction = x - floor;
  if (fraction > 0.5) return floor + 1;
  if (fraction < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace

std::string WithoutLastFour(const std::string& fileName) {
  return fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

std::vector<std::string> LanguageNames(const std::vector<std::string>& fileNames) {
  std::vector<std::string> names;
  for (const std::string& name : fileNames)
    if (HasLanguageExtension(name)) names.push_back(WithoutLastFour(name));
  return names;
}

int ProgressWindowTop(int screenHeight) { return int(RoundHalfEven(screenHeight / 1.2)); }

}  // namespace wizard

#include "string_table.h"

#include <windows.h>

namespace ziparchive {

bool LoadMessage(int id, std::string& text) {
  char buffer[2048];
  const int length = ::LoadStringA(::GetModuleHandleA(nullptr), UINT(id), buffer, sizeof buffer);
  if (length <= 0) return false;
  text.assign(buffer, size_t(length));
  return true;
}

namespace {

std::string MissingText(int id) {
  return "Message resource is probably not bound to executable\nMissing String ID is: " + std::to_string(id);
}

}  // namespace

std::string MessageText(int id) {
  std::string text;
  return LoadMessage(id, text) ? text : MissingText(id);
}

std::string FormattedMessage(int id, const std::vector<zipcore::MessageArg>& args) {
  std::string text;
  return LoadMessage(id, text) ? zipcore::FillPlaceholders(text, args) : MissingText(id);
}

}  // namespace ziparchive

// The component's messages from the program's string table, and the fallback for an id
// that the program lacks.
#pragma once

#include <string>
#include <vector>

#include "message_format.h"

namespace ziparchive {

// The text of `id` from the running program's string table; false when it has none.
bool LoadMessage(int id, std::string& text);

// The text of `id`, or "Message resource is probably not bound to executable" with the id.
std::string MessageText(int id);

// The text of `id` with its placeholders filled; the fallback text is not filled.
std::string FormattedMessage(int id, const std::vector<zipcore::MessageArg>& args);

}  // namespace ziparchive

// Text for error lines: an argument quoted so that the line stays one line.
#pragma once

#include <string>

// text between two quote characters, its control characters written as \xHH; null reads as
// empty. Bytes past ASCII are left as they are.
std::string QuoteForMessage(const char* text, char quote);

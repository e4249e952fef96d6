#pragma once
// Delimited texts: column lists "1,3", tab captions "A|B", stored column orders "2,0,1".
//
// CountTokens counts the tokens of a text (0 for the empty text, else one more than the
// delimiters); GetToken takes the first token off the front of the text, trimmed of spaces.
// Calling GetToken CountTokens times on a working copy gives every token once, in order.
// Positions are 16-bit: a delimiter found past character 32767 is an overflow, reported in a
// message box.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Toolkit.h"
#include "runtime/Error.h"

namespace tamarind::basTOKENS {

// The trimmed text before the first delimiter; text keeps what follows it. Without a delimiter
// the whole text (trimmed) is the token and text becomes "". On an error: a message box, "" and
// text unchanged.
std::string GetToken(MessageBoxService& box, std::string& text, std::string_view delim);

// 0 for "", else 1 + the delimiters found from the left, each search starting one character after
// the previous match ("a" 1, "a,b" 2, "a," 2, ",," 3). On an error: a message box and 0.
int16_t CountTokens(MessageBoxService& box, std::string text, std::string_view delim);

// Waits ms milliseconds while letting queued events run (timers, input): sleeps 1 ms and yields
// until the clock has moved on by ms. Returns at once for ms <= 0.
void Pause(platform::Toolkit& tk, int32_t& ms);

}  // namespace tamarind::basTOKENS

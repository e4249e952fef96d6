#pragma once
// The runtime's Like operator (binary comparison, character by character in code points):
//   ?        any one character
//   *        any run of characters, also none
//   #        one decimal digit 0-9
//   [list]   one character of the list; a range is written a-z; "-" first or last stands for itself
//   [!list]  one character not in the list
//   other    the character itself
// A "[" without its "]" is Error 93 (Invalid pattern string).

#include <string_view>

namespace tamarind {

bool Like(std::string_view text, std::string_view pattern);

}  // namespace tamarind

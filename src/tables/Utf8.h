// UTF-8 code points one at a time (tables/): the program's texts are UTF-8 in memory and
// single-byte in the files; both the code page conversion and the letter-case routines walk
// text character by character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tvx::tables {

// Appends code point `cp` (at most U+FFFF, the characters stored texts can hold) as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// Decodes one UTF-8 sequence at `pos` into `cp`. False when the bytes there do not start a
// well-formed sequence; `pos` then skips the maximal ill-formed part (one lead byte with the
// continuation bytes it accepted), so each bad part can be marked or copied once.
bool decodeUtf8(std::string_view in, std::size_t& pos, char32_t& cp);

}  // namespace tvx::tables

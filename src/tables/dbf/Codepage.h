// Windows-1250 <-> UTF-8 conversion for text stored in dBase files.
// Romanian letters with comma below (U+0218..U+021B) have no place in the code page and
// are stored as their cedilla forms; other characters outside it become '?'.
#pragma once

#include <string>
#include <string_view>

namespace tvx::tables::dbf {

std::string cp1250ToUtf8(std::string_view bytes);
std::string utf8ToCp1250(std::string_view utf8);

}  // namespace tvx::tables::dbf

// Text as XML (and HTML) character data (core/common): the one escaping routine of the files
// the program writes in markup, the e-invoice and the HTML export.
#pragma once

#include <string>
#include <string_view>

namespace tvx::core {

// `text` with & < > " ' escaped, bytes that are not well-formed UTF-8 (and the non-characters
// U+FFFE, U+FFFF) replaced by U+FFFD, and the control characters XML 1.0 forbids turned into
// blanks. With `keepLineBreaks` a line break is kept as "&#10;" (a CR before it is dropped)
// and a tab stays a tab; without, both become blanks, as in a one-line field.
std::string XmlText(std::string_view text, bool keepLineBreaks = false);

}  // namespace tvx::core

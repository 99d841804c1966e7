// The Romanian words of an amount in lei and bani, as printed on receipts (core/common):
// "2345.67" gives "douamiitreisutepatruzecisicinci lei si sasezecisisapte bani". Number
// words are written together without blanks; "lei" and "bani" are used for every amount
// (1 gives "unu lei", 1000 gives "unamii").
#pragma once

#include <string>
#include <string_view>

namespace tvx::core {

// `amount`: digits with "," as thousands separator and "." before the bani; blanks around
// are ignored, an empty text is 0, ".5" is 0.50. The bani are the first two digits after
// the point (cut, not rounded; one digit means tens of bani). A leading "-" gives the words
// of the amount without it preceded by "minus ". Anything else (letters, a second point,
// more than 12 digits of lei) throws tables::EngineError naming the text.
std::string AmountInWords(std::string_view amount);

}  // namespace tvx::core

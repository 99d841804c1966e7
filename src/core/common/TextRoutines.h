// Text routines shared by every window (core/common): cleaning typed text before it enters
// statement text or a filter, removing blanks from codes, joining filter terms and the lines
// of a multi-line box.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tvx::core {

// The text without leading and trailing blanks (any character up to ' ': spaces, tabs, line
// ends).
std::string Trimmed(std::string_view text);

// Upper and lower case of UTF-8 text over the letters stored texts can hold: ASCII, Latin-1,
// Latin Extended-A (Romanian ă â î ş ţ among them) and ș ț with comma. Other characters, and
// bytes that are not well-formed UTF-8, stay as they are.
std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);

// The number of characters (not bytes) of UTF-8 text: column widths count characters.
size_t CharCount(std::string_view text);

// Trims leading and trailing blanks (any character up to ' '), leaves one space wherever
// several stood together, and turns every ' and " into a back-quote. This is the only
// protection of statement text against quotes.
std::string CleanText(std::string_view text);

// The text without any blank (space, tab, line ends): IBANs and codes typed in groups.
std::string RemoveSpaces(std::string_view text);

// Filter terms appended one after the other, "(A='1')(B='2')", joined into
// "(A='1') AND (B='2')"; the text is trimmed first and an empty one stays empty.
std::string JoinFilterTerms(std::string_view filter);

// A row-filter term that `field` equals `value` exactly, or begins with `prefix`, whatever
// quotes or stars the text holds.
std::string FilterEquals(std::string_view field, std::string_view value);
std::string FilterPrefix(std::string_view field, std::string_view prefix);
// Whole filter terms joined as "(A) AND (B)"; none gives an empty filter. Unlike
// JoinFilterTerms it never looks inside a term, so values holding ")(" stay whole.
std::string JoinFilters(const std::vector<std::string>& terms);

// The non-empty lines concatenated with no separator (a multi-line address becomes one
// field value). A line of blanks is not empty and is kept.
std::string JoinLines(const std::vector<std::string>& lines);
// The same for a box's whole text, its lines ended by CR LF, LF or CR.
std::string JoinLines(std::string_view text);

}  // namespace tvx::core

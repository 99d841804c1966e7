// The file names the save dialogs propose (core/common): a backup archive named after its day,
// a saved document named after the document itself, each safe to use as a file name.
#pragma once

#include <string>

#include "tables/Date.h"

namespace tvx::core {

// `name` + `extension` (which includes its dot), with every character a file name may not
// hold (\ / : * ? " < > | and control characters) turned into "_" and blanks at the ends
// dropped; "Document" stands for a name with nothing left.
std::string SafeFileName(const std::string& name, const std::string& extension);

// `stem` + " " + the day as yyyy-mm-dd + `extension`, e.g. "Tarvix 2026-12-09.tvx": saves of
// different days do not replace one another and sort by day.
std::string DatedFileName(const std::string& stem, tables::Date day, const std::string& extension);

}  // namespace tvx::core

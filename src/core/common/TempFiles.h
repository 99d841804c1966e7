// Free names for work files of the program folder (core/common): prefix, a number from 0 to
// 100 and the extension, e.g. "XLSTmp0.xls" or "AvizFis3.dbf".
#pragma once

#include <filesystem>
#include <string>

namespace tvx::core {

// The first candidate folder/prefix<n><extension>, n = 0..100, that does not exist, or that
// is a file and can be deleted (it is deleted); a file the office program holds open (its
// ".~lock.<name>#" file lies beside it) is skipped. Empty when none is free: the caller then
// gives up silently. `extension` includes its dot. A folder in a candidate's place is
// never removed.
std::filesystem::path TempFileName(const std::filesystem::path& folder, const std::string& prefix,
                                   const std::string& extension);

}  // namespace tvx::core

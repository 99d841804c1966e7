// Finding the layout files by name (printing/ layer): the layouts travel beside the program in
// its "layouts" folder; a build run from its own tree falls back to the source folder.
#pragma once

#include <filesystem>
#include <string_view>

#include "printing/ReportLayout.h"

namespace tvx::printing {

// <program folder>/layouts/<name>.json when that file exists, else the source folder's file
// (which may not exist either; loading it then names it in the error).
std::filesystem::path LayoutPath(std::string_view name);

// Loads the layout `name`; throws EngineError naming the file when it is absent or faulty.
ReportLayout LoadNamedLayout(std::string_view name);

}  // namespace tvx::printing

// The delivery-note import benchmark of tvxbench (mode "import").
#pragma once

#include <filesystem>

namespace tvx::bench {

// Imports notes of lines/4, lines/2 and lines products into fresh data directories under
// `work` and prints the times; returns the exit status.
int runImportBench(const std::filesystem::path& work, int lines);

}  // namespace tvx::bench

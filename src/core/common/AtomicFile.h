// Whole-file reading and crash-safe whole-file writing for the small text files of the data
// directory (core/common): the new content goes to a temporary file beside the target, is
// flushed to the disk and then renamed over the target, so a crash leaves either the old
// file or the new one, never a truncated or empty one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::core {

// The file's bytes; nullopt when it does not exist. Any other failure (a folder in its place,
// no permission) throws tables::EngineError naming the file.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Replaces (or creates) `file` with `bytes` through a temporary file in the same folder and
// a rename. On failure the temporary file is removed, the target is left as it was, and
// tables::EngineError naming the file is thrown. `durable` waits for the disk before the
// rename; a file carried by an open table transaction may skip that, as the commit flushes
// it and a crash before the commit puts the old content back anyway.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                         bool durable = true);

}  // namespace tvx::core

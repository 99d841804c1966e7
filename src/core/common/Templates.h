// Files embedded in the program (core/common): a registry of resources by name and kind,
// both matched ignoring case ("NIRTVA" of kind "Model", "RegCasa" of kind "MODEL", ...),
// and their extraction to a file. The resources themselves are registered by the module
// that embeds them, before the first extraction.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tvx::core {

// Adds (or replaces) the resource `name` of `kind` with a copy of `bytes`. Returns true so
// that a namespace-scope initializer can register a resource.
bool RegisterTemplate(std::string_view name, std::string_view kind, std::string_view bytes);
// The bytes of a registered resource; nullopt when there is none.
std::optional<std::string> FindTemplate(std::string_view name, std::string_view kind);

// Registers the files built into the program (generated from resources/embedded). Called once,
// before the first look-up.
void RegisterEmbeddedFiles();

// Writes the resource to `target`, replacing the file atomically. Returns false, with no
// message and the target untouched, when there is no such resource or the write fails.
bool ExtractTemplate(std::string_view name, std::string_view kind,
                     const std::filesystem::path& target);

}  // namespace tvx::core

// Registry and extraction of embedded files (core/common).
#include "core/common/Templates.h"

#include <map>
#include <utility>

#include "core/common/AtomicFile.h"
#include "tables/Value.h"

namespace tvx::core {

namespace {

using Registry = std::map<std::pair<std::string, std::string>, std::string>;

// Resources by upper-cased kind and name; the program's own embedded files are registered at
// first use (registrations happen at start-up, on one thread).
Registry& registry() {
    static Registry resources;
    static bool embedded = false;
    if (!embedded) {
        embedded = true;  // set first: the registrations below come back through here
        RegisterEmbeddedFiles();
    }
    return resources;
}

std::pair<std::string, std::string> keyOf(std::string_view name, std::string_view kind) {
    return {tables::toUpperAscii(kind), tables::toUpperAscii(name)};
}

}  // namespace

bool RegisterTemplate(std::string_view name, std::string_view kind, std::string_view bytes) {
    registry()[keyOf(name, kind)] = std::string(bytes);
    return true;
}

std::optional<std::string> FindTemplate(std::string_view name, std::string_view kind) {
    const auto it = registry().find(keyOf(name, kind));
    if (it == registry().end()) return std::nullopt;
    return it->second;
}

bool ExtractTemplate(std::string_view name, std::string_view kind,
                     const std::filesystem::path& target) {
    const auto it = registry().find(keyOf(name, kind));
    if (it == registry().end()) return false;
    try {
        WriteFileAtomically(target, it->second);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace tvx::core

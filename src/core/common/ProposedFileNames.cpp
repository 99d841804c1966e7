// The file names the save dialogs propose (core/common).
#include "core/common/ProposedFileNames.h"

#include <cstdio>
#include <string_view>

namespace tvx::core {

std::string SafeFileName(const std::string& name, const std::string& extension) {
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    std::string safe;
    for (const char c : name) {
        const bool control = static_cast<unsigned char>(c) < 32 || c == 127;
        safe += control || kForbidden.find(c) != std::string_view::npos ? '_' : c;
    }
    const size_t first = safe.find_first_not_of(' ');
    safe = first == std::string::npos ? std::string() : safe.substr(first);
    safe.erase(safe.find_last_not_of(' ') + 1);
    return (safe.empty() ? std::string("Document") : safe) + extension;
}

std::string DatedFileName(const std::string& stem, tables::Date day, const std::string& extension) {
    char date[16];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", day.year(), day.month(), day.day());
    return SafeFileName(stem + " " + date, extension);
}

}  // namespace tvx::core

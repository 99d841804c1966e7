// Free work-file names of the program folder (core/common).
#include "core/common/TempFiles.h"

#include <system_error>

namespace tvx::core {

namespace fs = std::filesystem;

fs::path TempFileName(const fs::path& folder, const std::string& prefix,
                      const std::string& extension) {
    for (int n = 0; n <= 100; ++n) {
        const fs::path candidate = folder / (prefix + std::to_string(n) + extension);
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(candidate, ec);
        if (status.type() == fs::file_type::not_found) return candidate;
        if (ec || status.type() == fs::file_type::directory) continue;
        // A file still open in the office program (its lock file beside it) is not reused.
        if (fs::exists(folder / (".~lock." + candidate.filename().string() + "#"), ec)) continue;
        if (fs::remove(candidate, ec) && !ec) return candidate;
    }
    return {};
}

}  // namespace tvx::core

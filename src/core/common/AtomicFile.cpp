// Whole-file reading and crash-safe replacement of small files (core/common).
#include "core/common/AtomicFile.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "tables/EngineError.h"
#include "tables/platform/File.h"

namespace tvx::core {

namespace fs = std::filesystem;

std::optional<std::string> ReadWholeFile(const fs::path& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (ec) throw tables::EngineError("Cannot read " + file.string() + ": " + ec.message());
    if (status.type() != fs::file_type::regular)
        throw tables::EngineError("Cannot read " + file.string() + ": not a regular file");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw tables::EngineError("Cannot read " + file.string());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw tables::EngineError("Cannot read " + file.string());
    return bytes;
}

void WriteFileAtomically(const fs::path& file, std::string_view bytes, bool durable) {
    // A fixed temporary name per target: one left behind by a crash is simply overwritten.
    fs::path temp = file;
    temp += ".tvxnew";
    std::error_code ec;
    try {
        {
            tables::platform::File out(temp, true);
            out.truncate(0);
            out.write(0, bytes);
            if (durable) out.sync();
        }
        fs::rename(temp, file, ec);
        if (ec) throw tables::EngineError("Cannot replace " + file.string() + ": " + ec.message());
    } catch (...) {
        fs::remove(temp, ec);
        throw;
    }
    if (!durable) return;
    const fs::path folder = file.parent_path();
    tables::platform::syncDirectory(folder.empty() ? fs::path(".") : folder);
}

}  // namespace tvx::core

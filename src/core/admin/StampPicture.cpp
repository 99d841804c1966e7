// Storing and deleting the stamp picture of the data directory.
#include "core/admin/StampPicture.h"

#include <system_error>

#include "core/common/AtomicFile.h"
#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;

fs::path StampFile(const fs::path& dataDir) {
    return dataDir / kStampFileName;
}

Message StorePicture(const fs::path& dataDir, const fs::path& picture) {
    const std::optional<std::string> bytes = ReadWholeFile(picture);
    if (!bytes) throw tables::EngineError("The picture " + picture.string() + " does not exist");
    WriteFileAtomically(StampFile(dataDir), *bytes);
    return {"Poza Stampila", "\rPoza a fost memorata!", MessageKind::Information};
}

Message DeletePicture(const fs::path& dataDir) {
    std::error_code ec;
    fs::remove(StampFile(dataDir), ec);
    if (ec)
        throw tables::EngineError("Cannot delete file " + StampFile(dataDir).string() + ": " +
                                  ec.message());
    return {"Poza stampila", "\rPoza cu stampila a fost stearsa.", MessageKind::Information};
}

}  // namespace tvx::core

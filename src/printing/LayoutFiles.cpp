// Finding the layout files by name: beside the program first, then the source folder.
#include "printing/LayoutFiles.h"

#include <QCoreApplication>
#include <string>

#include "printing/LayoutLoader.h"

namespace tvx::printing {

std::filesystem::path LayoutPath(std::string_view name) {
    const std::string file = std::string(name) + ".json";
    if (QCoreApplication::instance()) {
        const std::filesystem::path beside =
            std::filesystem::path(QCoreApplication::applicationDirPath().toStdString()) /
            "layouts" / file;
        std::error_code ec;
        if (std::filesystem::is_regular_file(beside, ec)) return beside;
    }
    return std::filesystem::path(TVX_LAYOUTS_SOURCE_DIR) / file;
}

ReportLayout LoadNamedLayout(std::string_view name) {
    return loadLayoutFile(LayoutPath(name).string());
}

}  // namespace tvx::printing

// The stamp picture (core/admin): the file "Stamp.jpg" of the data directory that printed
// invoices can carry. A chosen picture is stored unchanged under that name, whatever its
// format; the file chooser's title and filters are kept here for the window.
#pragma once

#include <filesystem>

#include "core/admin/AdminCommon.h"

namespace tvx::core {

constexpr const char* kStampFileName = "Stamp.jpg";
constexpr const char* kStampChooserTitle = "Poza Stampila 128 X 128";
constexpr const char* kStampChooserFilter = "JPEG Image File (*.jpg)|*.jpg|Bitmaps (*.bmp)|*.bmp";

std::filesystem::path StampFile(const std::filesystem::path& dataDir);

// Copies `picture` as it is to Stamp.jpg, replacing the old one only once the copy is
// complete; returns the notice to show. Throws EngineError naming the file on failure.
Message StorePicture(const std::filesystem::path& dataDir, const std::filesystem::path& picture);
// Deletes Stamp.jpg (nothing when absent); returns the notice to show.
Message DeletePicture(const std::filesystem::path& dataDir);

}  // namespace tvx::core

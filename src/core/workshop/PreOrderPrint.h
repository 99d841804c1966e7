// Printing a pre-order (core/workshop): the template "PrecoMod.rtf" of the data directory,
// written from the copy embedded in the program when it is missing; the placeholders of the
// reception sheet with the pre-order's values; and the filled copy written to a new file
// 0.rtf .. 99.rtf of the program folder, which the window then opens.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/workshop/PreOrderEntry.h"
#include "core/workshop/RtfReplace.h"

namespace tvx::core {

constexpr const char* kPreorderTemplateName = "PrecoMod";

// Writes the embedded template to `dataDir`/PrecoMod.rtf when no file is there; an existing
// one, edited by the user, is left alone. Returns whether the file exists afterwards.
bool EnsurePreorderTemplate(const std::filesystem::path& dataDir);

// Before the template is opened for editing: written from the embedded copy when missing, so a
// fresh install edits the standard sheet; the refusal titled `title` only when it still cannot
// be had (not written, or something other than a file under that name); nothing when it may
// be opened.
std::optional<Message> PreorderTemplateForEditing(const std::filesystem::path& dataDir,
                                                  const std::string& title);

// The placeholders and their values, in the order they are replaced.
std::vector<RtfPair> PreOrderPairs(const PreOrder& preOrder);

struct PreOrderPrintout {
    std::optional<Message> failure;  // the template is missing or not rich text, or no name
    std::filesystem::path file;      // the filled copy
};

// "&Listeaza Precomanda": the filled copy of the template. An error writing it throws
// tables::EngineError naming the file.
PreOrderPrintout PrintPreOrder(const std::filesystem::path& dataDir,
                               const std::filesystem::path& programFolder,
                               const PreOrder& preOrder);

}  // namespace tvx::core

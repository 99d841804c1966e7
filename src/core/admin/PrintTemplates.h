// The printing templates the administration window lets the user edit (core/admin): the NIR
// workbook "NIRTVA.xls" and the pre-order text "PrecoMod.rtf" of the data directory, the
// notices around opening them in their associated program, and putting the NIR workbook
// back from the template embedded in the program.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/admin/AdminCommon.h"

namespace tvx::core {

// The embedded NIR workbook: resource name and kind.
constexpr const char* kNirTemplateName = "NIRTVA";
constexpr const char* kTemplateKind = "Model";
constexpr const char* kPreorderTemplateFile = "PrecoMod.rtf";

std::filesystem::path NirTemplateFile(const std::filesystem::path& dataDir);
std::filesystem::path PreorderTemplateFile(const std::filesystem::path& dataDir);

// Before a template is opened for editing: the refusal, titled `title`, when `file` is
// missing; nothing when it may be opened.
std::optional<Message> MissingTemplate(const std::string& title, const std::filesystem::path& file);
// Said before the pre-order template opens: the bracketed tags must stay as they are.
Message PreorderTemplateNotice();
// Said when no program could be started for `file`.
Message OpenFailed(const std::string& title, const std::filesystem::path& file);

// "Refa modelul initial": the question, then the restore itself.
Message RestoreTemplateQuestion();
// Writes the embedded template `name` (kind "Model") over `target`, which is replaced only
// once the new file is complete. Returns the notice of success, or an error naming the file
// when no such template is embedded or the file cannot be written (`target` then stays).
Message RestoreTemplate(std::string_view name, const std::filesystem::path& target);

}  // namespace tvx::core

// The editable printing templates of the data directory and their restore.
#include "core/admin/PrintTemplates.h"

#include <system_error>

#include "core/app/Startup.h"
#include "core/common/Templates.h"

namespace tvx::core {

namespace fs = std::filesystem;

namespace {
constexpr const char* kRestoreTitle = "Refacere model initial";
}

fs::path NirTemplateFile(const fs::path& dataDir) {
    return dataDir / kNirTemplateFile;
}

fs::path PreorderTemplateFile(const fs::path& dataDir) {
    return dataDir / kPreorderTemplateFile;
}

std::optional<Message> MissingTemplate(const std::string& title, const fs::path& file) {
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) return std::nullopt;
    return Message{title, "Fisierul " + file.string() + " lipseste!", MessageKind::Error};
}

Message PreorderTemplateNotice() {
    return {"Modificare model precomanda",
            "Nu modificati textul din parantezele patrate!\rParantezele patrate sunt inlocuite "
            "automat de catre program la listare!",
            MessageKind::Information};
}

Message OpenFailed(const std::string& title, const fs::path& file) {
    return {title, "Fisierul " + file.string() + " nu a putut fi deschis!", MessageKind::Error};
}

Message RestoreTemplateQuestion() {
    return {kRestoreTitle, "\rDoriti sa punem la loc modelul initial?", MessageKind::Warning};
}

Message RestoreTemplate(std::string_view name, const fs::path& target) {
    if (!ExtractTemplate(name, kTemplateKind, target))
        return {kRestoreTitle, "\rModelul initial nu a putut fi scris in " + target.string() + "!",
                MessageKind::Error};
    return {kRestoreTitle, "\rA fost pus la loc modelul initial.", MessageKind::Information};
}

}  // namespace tvx::core

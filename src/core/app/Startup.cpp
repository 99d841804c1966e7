// The splash window's work on the data directory.
#include "core/app/Startup.h"

#include <system_error>

#include "core/admin/RestoreSwap.h"
#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "core/common/Templates.h"

namespace tvx::core {

namespace fs = std::filesystem;

std::optional<Message> PrepareData(Session& session) {
    std::optional<Message> restoreNotice = FinishInterruptedRestore(session.dataDir());
    session.open();
    CreateMissingTables(session.db());
    const fs::path nirTemplate = session.dataDir() / kNirTemplateFile;
    std::error_code ec;
    if (!fs::exists(nirTemplate, ec)) ExtractTemplate("NIRTVA", "Model", nirTemplate);
    UpgradeSchema(session.db(), session.settings());
    return restoreNotice;
}

}  // namespace tvx::core

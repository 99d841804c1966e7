// The export of declaration 394: the one call that hands its rows to the result-set export.
#include "ui/printing/Declaration394Export.h"

#include "core/common/PeriodChoice.h"
#include "ui/reports/TExportF.h"

namespace tvx::ui {

bool ExportDeclaration394(const tables::ResultSet& rows, const std::string& periodLine,
                          QWidget* parent) {
    core::ExportOptions options;
    options.header = "Declaratia 394 " + periodLine;
    options.created = core::Today();
    return TExportF::ViewWorkbook(rows, options, parent);
}

}  // namespace tvx::ui

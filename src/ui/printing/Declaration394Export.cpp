// The export of declaration 394: the one call that hands its rows to the result-set export.
#include "ui/printing/Declaration394Export.h"

#include <QFileDialog>

#include "core/reports/Declaration394.h"
#include "ui/common/Binding.h"

namespace tvx::ui {

namespace {

ExportPathHook& PathHook() {
    static ExportPathHook hook;
    return hook;
}

}  // namespace

void setDeclaration394PathHook(ExportPathHook hook) {
    PathHook() = std::move(hook);
}

bool ExportDeclaration394(const tables::ResultSet& rows, QWidget* parent) {
    const QString path =
        PathHook() ? PathHook()(parent)
                   : QFileDialog::getSaveFileName(parent, "Export datele", "Declaratia394.csv",
                                                  "CSV (Comma delimited) (*.csv)");
    if (path.isEmpty()) return false;
    return Guarded([&] { core::WriteResultSetCsv(path.toStdString(), rows); });
}

}  // namespace tvx::ui

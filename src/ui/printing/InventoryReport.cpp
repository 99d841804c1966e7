// The printed inventory: captions as report parameters, the window's rows as the detail, and
// the preview of the result.
#include "ui/printing/InventoryReport.h"

#include "printing/LayoutFiles.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {

printing::ReportInputs InventoryInputs(const core::InventoryCaptions& captions, bool withPrice) {
    printing::ReportInputs in;
    in.parameters = {{"SOC", captions.company},
                     {"GESTIUNE", captions.location},
                     {"CATEGORIA", captions.category},
                     {"DATA", captions.date}};
    if (!withPrice) in.hidden.insert("InvPret");
    return in;
}

printing::LaidOutReport PrepareInventoryReport(const tables::ResultSet& rows,
                                               const core::InventoryCaptions& captions) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kInventoryLayoutName);
    return printing::paginate(layout, &rows,
                              InventoryInputs(captions, rows.findField("PRETOUT") >= 0));
}

void PrintInventory(const tables::ResultSet& rows, const core::InventoryCaptions& captions,
                    QWidget* parent) {
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareInventoryReport(rows, captions); })) return;
    TPreview::ShowPreview(report, {}, parent);
}

}  // namespace tvx::ui

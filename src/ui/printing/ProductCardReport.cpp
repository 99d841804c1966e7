// The printed product card: captions as report parameters and the preview of the result.
#include "ui/printing/ProductCardReport.h"

#include "printing/LayoutFiles.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {

printing::ReportInputs ProductCardInputs(const core::CardReportCaptions& captions) {
    printing::ReportInputs in;
    in.parameters = {{"SOC", captions.company},       {"DATA", captions.date},
                     {"GESTIUNE", captions.location}, {"CATEGORIA", captions.category},
                     {"PRODUS", captions.product},    {"PRET", captions.price},
                     {"STOC", captions.stock}};
    return in;
}

printing::LaidOutReport PrepareProductCardReport(const tables::ResultSet& moves,
                                                 const core::CardReportCaptions& captions) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kProductCardLayoutName);
    return printing::paginate(layout, &moves, ProductCardInputs(captions));
}

bool PrintProductCard(const tables::ResultSet& moves, const core::CardReportCaptions& captions,
                      QWidget* parent) {
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareProductCardReport(moves, captions); })) return false;
    return TPreview::ShowPreview(report, {}, parent);
}

}  // namespace tvx::ui

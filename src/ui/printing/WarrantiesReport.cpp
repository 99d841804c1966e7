// The printed warranties list: the company and date as parameters, the window's rows as the
// detail, and the preview of the result.
#include "ui/printing/WarrantiesReport.h"

#include "printing/LayoutFiles.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {

printing::LaidOutReport PrepareWarrantiesReport(const tables::ResultSet& rows,
                                                const std::string& company, tables::Date today) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kWarrantiesLayoutName);
    printing::ReportInputs in;
    in.parameters = {{"SOC", company}, {"DATA", today.toString()}};
    return printing::paginate(layout, &rows, in);
}

void PrintWarranties(const tables::ResultSet& rows, const std::string& company, tables::Date today,
                     QWidget* parent) {
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareWarrantiesReport(rows, company, today); })) return;
    TPreview::ShowPreview(report, {}, parent);
}

}  // namespace tvx::ui

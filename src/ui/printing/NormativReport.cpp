// The printed list of time norms: the company as a parameter, the window's rows as the detail,
// and the preview of the result.
#include "ui/printing/NormativReport.h"

#include "printing/LayoutFiles.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {

printing::LaidOutReport PrepareNormativReport(const tables::ResultSet& rows,
                                              const std::string& company) {
    const printing::ReportLayout layout = printing::LoadNamedLayout(kNormativLayoutName);
    printing::ReportInputs in;
    in.parameters = {{"SOC", company}};
    return printing::paginate(layout, &rows, in);
}

void PrintNormativ(const tables::ResultSet& rows, const std::string& company, QWidget* parent) {
    printing::LaidOutReport report;
    if (!Guarded([&] { report = PrepareNormativReport(rows, company); })) return;
    TPreview::ShowPreview(report, {}, parent);
}

}  // namespace tvx::ui

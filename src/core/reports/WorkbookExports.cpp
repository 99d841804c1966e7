// The sales journal of invoices as a workbook (core/reports).
#include "core/reports/WorkbookExports.h"

#include "core/common/Schema.h"
#include "core/common/TempFiles.h"
#include "core/common/Templates.h"
#include "core/reports/ExpXLSOLE.h"
#include "tables/Database.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::Value;

std::string PeriodText(const tables::Date& from, const tables::Date& to) {
    if (from.dayNumber() == to.dayNumber()) return "in data de " + from.toString();
    return "in perioada " + from.toString() + " - " + to.toString();
}

fs::path ExtractWorkbookTemplate(const std::string& name, const fs::path& folder) {
    const fs::path file = TempFileName(folder, name, ".xls");
    if (file.empty() || !ExtractTemplate(name, "MODEL", file)) return {};
    return file;
}

WorkbookResult ExportSalesJournal(tables::Database& db, const fs::path& programFolder,
                                  const std::string& company, const tables::Date& from,
                                  const tables::Date& to, bool show) {
    const std::string invoices = QuotedPath(TableFile(db, "FactOut"));
    tables::ResultSet carried =
        db.query("SELECT SUM(TOTAL) AS S1, (SUM(VALTOT)) AS S2, SUM(TVATOT) AS S3 FROM " +
                     invoices + " WHERE DATAOUT< :f",
                 {{"f", from}});
    carried.first();
    tables::ResultSet rows =
        db.query("SELECT SOC2,SERIA, NR, DATAOUT, TOTAL, VALTOT FROM " + invoices +
                     " WHERE DATAOUT>= :f AND DATAOUT<= :t ORDER BY DATAOUT, NR",
                 {{"f", from}, {"t", to}});

    WorkbookResult result;
    const fs::path model = ExtractWorkbookTemplate("JurnVFact", programFolder);
    TExpXLSOLE engine(programFolder);
    if (model.empty() || !engine.OpenTemplate(model, false)) {
        result.problem = model.empty() ? "Modelul JurnVFact nu a putut fi scris in " +
                                             programFolder.string() + "!"
                                       : engine.problem();
        return result;
    }
    engine.ReplaceTag("[SOC]", Value(company));
    engine.ReplaceTag("[PERIOADA]", Value(PeriodText(from, to)));
    engine.ReplaceTag("[RSUMA]",
                      Value(carried.empty() ? tables::Decimal() : carried.asNumber("S1")));
    engine.ReplaceTag("[RBAZA]",
                      Value(carried.empty() ? tables::Decimal() : carried.asNumber("S2")));
    engine.ReplaceTag("[RTVA]",
                      Value(carried.empty() ? tables::Decimal() : carried.asNumber("S3")));
    engine.FillFromDataSet(rows);
    result.written = engine.FinishWorkbook(show);
    result.file = engine.outputPath();
    result.problem = engine.problem();
    return result;
}

}  // namespace tvx::core

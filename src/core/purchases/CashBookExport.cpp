// Writing the cash register book of a period into the RegCasa workbook (core/purchases).
#include "core/purchases/CashBookExport.h"

#include "core/reports/CashBookWorkbook.h"
#include "core/reports/ExpXLSOLE.h"

namespace tvx::core {

namespace {

using tables::Value;

// The rows of a day block: DOCJUSNR, REPREZ, INCASAT, PLATIT.
tables::ResultSet DayDocuments(const CashDayBlock& day) {
    std::vector<Value> cells;
    cells.reserve(day.operations.size() * 4);
    for (const CashOperation& op : day.operations) {
        cells.emplace_back(op.document);
        cells.emplace_back(op.text);
        cells.emplace_back(op.received);
        cells.emplace_back(op.paid);
    }
    return tables::ResultSet({{"DOCJUSNR", 'C', 39},
                              {"REPREZ", 'C', 80},
                              {"INCASAT", 'N', 10, 2},
                              {"PLATIT", 'N', 10, 2}},
                             std::move(cells));
}

}  // namespace

WorkbookResult ExportCashBook(const CashBookPeriod& period,
                              const std::filesystem::path& programFolder, bool automationWanted,
                              bool show, const std::function<void(int days)>& progress) {
    WorkbookResult result;
    const std::filesystem::path model = ExtractWorkbookTemplate("RegCasa", programFolder);
    TExpXLSOLE engine(programFolder);
    if (model.empty() || !engine.OpenTemplate(model, automationWanted)) {
        result.problem =
            model.empty() ? "Modelul RegCasa nu a putut fi scris in " + programFolder.string() + "!"
                          : engine.problem();
        return result;
    }
    engine.ReplaceTag("[SC]", Value(period.company));
    engine.ReplaceTag("[PERIOADA]", Value(period.periodText));
    engine.ReplaceTag("[II]", Value(period.yearReceived));
    engine.ReplaceTag("[PI]", Value(period.yearPaid));
    engine.ReplaceTag("[SP]", Value(period.carried));
    if (period.days.empty()) {
        // No day with operations: one block, its document row written empty.
        engine.DeleteRows(11, 6);
        engine.SetCell(9, 1, Value(1));
        for (int col : {2, 4, 7}) engine.SetCell(9, col, Value(std::string()));
        for (int col : {5, 6}) engine.SetCell(9, col, Value(0));
    } else {
        std::vector<CashBookDay> days;
        days.reserve(period.days.size());
        for (const CashDayBlock& day : period.days) days.push_back({day.date, DayDocuments(day)});
        FillCashBookDays(engine, days);
        if (progress) progress(static_cast<int>(days.size()));
    }
    result.written = engine.FinishWorkbook(show);
    result.file = engine.outputPath();
    result.problem = engine.problem();
    return result;
}

}  // namespace tvx::core

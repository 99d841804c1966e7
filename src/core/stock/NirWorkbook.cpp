// A goods received note printed into its workbook template (core/stock).
#include "core/stock/NirWorkbook.h"

#include "core/admin/PrintTemplates.h"
#include "core/common/Schema.h"
#include "core/reports/ExpXLSOLE.h"
#include "core/stock/NirNotes.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::Value;

WorkbookResult PrintNirNote(tables::Database& db, const fs::path& dataDir,
                            const fs::path& programFolder, const std::string& company,
                            long long idNir, bool show) {
    const std::optional<NirNote> note = ReadNirNote(db, idNir);
    if (!note) throw tables::EngineError("CapNIR: no note " + std::to_string(idNir), "CapNIR");
    tables::ResultSet document =
        db.query("SELECT CUI FROM " + QuotedPath(TableFile(db, "FactIn")) + " WHERE IDFACT=:id",
                 {{"id", note->idFact}});
    const std::string cui = document.empty() ? std::string() : document.at(0, 0).toString();
    tables::ResultSet lines = db.query(
        "SELECT PRODUS, UM, CANTF, CANTR, PRETU, VALOARE, VALTVA, TOTALF, PRETA, VALA, PRETAT, "
        "VALAT FROM " +
            QuotedPath(TableFile(db, "ProdNIR")) + " WHERE IDNIR=:id ORDER BY IDPROD",
        {{"id", idNir}});

    WorkbookResult result;
    TExpXLSOLE engine(programFolder);
    if (!engine.OpenTemplate(NirTemplateFile(dataDir), true)) {
        result.problem = engine.problem();
        return result;
    }
    // The texts first; the five totals are written as numbers (empty without such lines).
    for (const auto& [tag, text] : NirPrintPlaceholders(*note, company, cui))
        if (tag.rfind("[NIRSUB", 0) != 0) engine.ReplaceTag(tag, Value(text));
    const std::optional<tables::Decimal>* totals[] = {&note->vmf, &note->vaf, &note->vac,
                                                      &note->vtn, &note->total};
    for (int i = 0; i < 5; ++i)
        engine.ReplaceTag("[NIRSUB" + std::to_string(i + 1) + "]",
                          *totals[i] ? Value(**totals[i]) : Value());
    engine.FillFromDataSet(lines);
    result.written = engine.FinishWorkbook(show);
    result.file = engine.outputPath();
    result.problem = engine.problem();
    if (result.written) MarkNirNotePrinted(db, idNir);
    return result;
}

}  // namespace tvx::core

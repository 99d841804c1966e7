// The exports that fill a workbook template (core/reports): the sales journal of invoices
// from the embedded "JurnVFact" and the goods received note into the data directory's
// "NIRTVA.xls". Each writes a new XLSTmp<n>.xls in the program folder and, when asked, has it
// shown by the opener the windows installed (TExpXLSOLE::SetOpener).
#pragma once

#include <filesystem>
#include <string>

#include "tables/Date.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

// How an export ended: the workbook written, or the reason it was not (a Romanian sentence
// naming the file).
struct WorkbookResult {
    bool written = false;
    std::filesystem::path file;
    std::string problem;
};

constexpr const char* kSalesJournalTitle = "Jurnal vanzari facturi";

// "in data de F" for one day, else "in perioada F - T".
std::string PeriodText(const tables::Date& from, const tables::Date& to);

// The sales journal of the invoices dated from..to, headed by `company`, with the totals of
// the invoices before `from` carried in; written in `programFolder`. Throws EngineError when
// a statement fails.
WorkbookResult ExportSalesJournal(tables::Database& db, const std::filesystem::path& programFolder,
                                  const std::string& company, const tables::Date& from,
                                  const tables::Date& to, bool show);

// Writes the embedded template `name` (kind "MODEL") to a free `name`<n>.xls of `folder`;
// empty when it cannot.
std::filesystem::path ExtractWorkbookTemplate(const std::string& name,
                                              const std::filesystem::path& folder);

}  // namespace tvx::core

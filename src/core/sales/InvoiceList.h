// The outgoing document list (core/sales): the statements of the document and receipt grids,
// their row filters and sort orders, the stock location choice kept in the settings file,
// the refusal of a new document without a location, and the deletion of a document with its
// lines, sale movements and fiscal receipts, giving the goods back to their stock cards and
// the newest invoice number back to its counter (collected money is never deleted with it).
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// The first item of the location and buyer lists: no narrowing by that field.
constexpr const char* kAnyChoice = " * indiferent *";

// The statement of the document grid: every FactOut row, in the default order (GESTIUNE,
// DATAOUT, IDFACTO) when `sortField` is empty, otherwise by that grid column alone. A field
// that is not a column of the grid is an EngineError.
std::string InvoiceListQuery(const tables::Database& db, const std::string& sortField = {});
// The receipts grid: the ChitOut rows of the current document by DATAOUT, IDCHIT; none
// when the document list is empty.
tables::ResultSet QueryDocumentReceipts(tables::Database& db, std::optional<long long> idFacto);

// The filter fields of the list's left panel.
struct InvoiceListFilter {
    std::string location;  // chosen stock location; empty or kAnyChoice: all
    std::string buyer;     // chosen buyer SOC2; empty or kAnyChoice: all
    bool unpaidOnly = false;
    std::string cuiPrefix;  // typed start of the buyer's fiscal code
};
// The document grid's row filter (empty: no filtering).
std::string InvoiceListFilterText(const InvoiceListFilter& filter);

// The location list: kAnyChoice first, then the names of GesLista.txt of the data directory
// (none when the file is missing), sorted.
std::vector<std::string> LocationChoices(const std::filesystem::path& dataDir);
// The index of the location last chosen (VAR/GESDEFAULT); 0 when absent, not a number or
// not below `choiceCount`.
int SavedLocationIndex(const Settings& settings, size_t choiceCount);
void SaveLocationIndex(Settings& settings, int index);

// Refusal of the deletion: a cashier may not delete a printed document, and nobody a
// document holding receipts other than fiscal receipts (named in the message; they are
// deleted first). Throws EngineError when the document does not exist.
std::optional<Message> DeleteRefusal(tables::Database& db, long long idFacto, int grade);
// The confirmation asked before deleting. Throws EngineError when the document is missing.
Message DeleteQuestion(tables::Database& db, long long idFacto);

// The control of the list that chooses the stock location.
constexpr const char* kLocationBox = "GesBox";
// Refusal of a new document: its goods come from one stock location, so `location` (the
// list's choice) must name one, not be blank or kAnyChoice.
std::optional<FieldProblem> NewInvoiceRefusal(const std::string& location);

// Deletes document `idFacto` after DeleteRefusal, which it returns writing nothing when it
// refuses. In one transaction with the settings file: the number is given back (FACTNR =
// NR) when it is the newest one given out, each goods line's sale movement still present is
// removed and undone on its card, and the FactOut row, its ProdOut lines and its remaining
// ChitOut receipts (fiscal receipts only, as DeleteRefusal keeps the others) are deleted. Any
// failure throws EngineError and leaves everything as it was.
std::optional<Message> DeleteInvoice(tables::Database& db, Settings& settings, long long idFacto,
                                     int grade);

// The buyer list: kAnyChoice first, then the distinct non-blank SOC2 of FactOut, sorted.
std::vector<std::string> BuyerChoices(tables::Database& db);

// The print fields of the list as the settings file and the data directory leave them.
struct InvoiceListPrintChoices {
    std::string copies = "1";     // "Nr.ex.": VARFACT/NRCOPII, "1" when absent or blank
    bool stampAvailable = false;  // Stamp.jpg exists in the data directory
    bool stamp = false;           // ticked: available and SETARI/CUSTAMP not blank
};
InvoiceListPrintChoices ReadPrintChoices(const Settings& settings,
                                         const std::filesystem::path& dataDir);
// Kept when the list closes: CUSTAMP "DA" or empty, then NRCOPII as typed.
void SavePrintChoices(Settings& settings, bool stamp, const std::string& copies);

// A printout of document `idFacto` came out: LISTARI = LISTARI + 1, one statement. Throws
// EngineError when the document does not exist.
void CountPrintout(tables::Database& db, long long idFacto);

}  // namespace tvx::core

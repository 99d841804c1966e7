// The outgoing document list: statement and filter texts for the grids, the location
// choice, and the deletion of a document. Deleting runs as one engine transaction that also
// carries the settings file, so the counter given back and the stock given back are kept or
// undone together.
#include "core/sales/InvoiceList.h"

#include <algorithm>
#include <array>

#include "core/admin/Locations.h"
#include "core/admin/Users.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/Decimal.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::Decimal;
using tables::EngineError;

namespace {

constexpr const char* kDeleteTitle = "Stergere Factura";

// The columns of the document grid, the only fields a title click sorts by.
constexpr std::array<const char*, 10> kGridColumns = {
    "GESTIUNE", "SOC2", "CUI2", "SERIA", "NR", "DATAOUT", "DATASCAD", "TOTAL", "REST", "LISTARI"};

std::string Table(const Database& db, const char* name) {
    return QuotedPath(TableFile(db, name));
}

bool Chosen(const std::string& item) {
    return !Trimmed(item).empty() && item != kAnyChoice;
}

}  // namespace

std::string InvoiceListQuery(const Database& db, const std::string& sortField) {
    std::string order = "GESTIUNE, DATAOUT, IDFACTO";
    if (!sortField.empty()) {
        if (std::find(kGridColumns.begin(), kGridColumns.end(), sortField) == kGridColumns.end())
            throw EngineError("Field " + sortField + " is not a column of the list of " +
                                  TableFile(db, "FactOut").string(),
                              "FactOut");
        order = sortField;
    }
    return "SELECT * FROM " + Table(db, "FactOut") + " ORDER BY " + order;
}

tables::ResultSet QueryDocumentReceipts(Database& db, std::optional<long long> idFacto) {
    // Read per document through the IDFACTO index: the whole table, filtered in memory,
    // cost a long list's opening tens of milliseconds.
    return db.query("SELECT * FROM " + Table(db, "ChitOut") +
                        " WHERE IDFACTO=:id ORDER BY DATAOUT, IDCHIT",
                    {{"id", idFacto.value_or(-2)}});
}

std::string InvoiceListFilterText(const InvoiceListFilter& filter) {
    // Each value is written as a literal of its own (quotes doubled, a final star kept a
    // star): a chosen name selects exactly its rows whatever characters it holds.
    std::vector<std::string> terms;
    if (Chosen(filter.location)) terms.push_back(FilterEquals("GESTIUNE", filter.location));
    if (Chosen(filter.buyer)) terms.push_back(FilterEquals("SOC2", filter.buyer));
    if (filter.unpaidOnly) terms.push_back("REST>0");
    const std::string cui = CleanText(filter.cuiPrefix);
    if (!cui.empty()) terms.push_back(FilterPrefix("CUI2", cui));
    return JoinFilters(terms);
}

std::vector<std::string> LocationChoices(const std::filesystem::path& dataDir) {
    std::vector<std::string> out = ReadLocationsFile(dataDir / kLocationsFileName);
    out.push_back(kAnyChoice);
    std::sort(out.begin(), out.end());  // the leading blank puts kAnyChoice first
    return out;
}

int SavedLocationIndex(const Settings& settings, size_t choiceCount) {
    const auto index = Decimal::parse(settings.readSetting("VAR", "GESDEFAULT"));
    if (!index || index->isNegative() || *index >= Decimal(static_cast<long long>(choiceCount)) ||
        index->rescaled(0, tables::Rounding::Truncate) != *index)
        return 0;
    return static_cast<int>(index->toLongLong());
}

void SaveLocationIndex(Settings& settings, int index) {
    settings.writeSetting("VAR", "GESDEFAULT", std::to_string(index));
}

std::optional<Message> DeleteRefusal(Database& db, long long idFacto, int grade) {
    const tables::ResultSet row = StoredInvoiceHeader(db, idFacto);
    if (grade == kGradeCasier && row.asNumber("LISTARI") > Decimal(0))
        return Message{kDeleteTitle, "Nu aveti dreptul sa stergeti Factura!", MessageKind::Error};
    // Collected money stays in the books: its receipts are deleted first, one by one, which
    // also gives the newest receipt number back. A fiscal receipt goes only with its document.
    std::string collected;
    for (const Receipt& receipt : ReceiptsOf(db, idFacto)) {
        if (receipt.docJus == kFiscalReceiptDocument) continue;
        if (!collected.empty()) collected += ", ";
        collected += receipt.docJus;
        if (!receipt.series.empty()) collected += " " + receipt.series;
        collected += " nr." + std::to_string(receipt.number);
    }
    if (!collected.empty())
        return Message{kDeleteTitle,
                       "Factura are incasari: " + collected + ".\nStergeti mai intai incasarile!",
                       MessageKind::Error};
    return std::nullopt;
}

std::optional<FieldProblem> NewInvoiceRefusal(const std::string& location) {
    if (Chosen(location)) return std::nullopt;
    return FieldProblem{kLocationBox, "Alegeti mai intai o gestiune!"};
}

Message DeleteQuestion(Database& db, long long idFacto) {
    const tables::ResultSet row = StoredInvoiceHeader(db, idFacto);
    return Message{kDeleteTitle,
                   "Sunteti sigur ca vreti sa stergeti Factura " + row.asText("SERIA") + " " +
                       row.asText("NR") + " ?",
                   MessageKind::Warning};
}

std::optional<Message> DeleteInvoice(Database& db, Settings& settings, long long idFacto,
                                     int grade) {
    if (auto refusal = DeleteRefusal(db, idFacto, grade)) return refusal;
    db.atomically([&] {
        const tables::ResultSet stored = StoredInvoiceHeader(db, idFacto);
        // The newest invoice number given out comes back, whatever the invoice's series. A
        // fiscal receipt's number came from NRBON: handing it to FACTNR would give out again
        // the number of an invoice still stored.
        const long long number = stored.asNumber("NR").toLongLong();
        if (stored.asText("SERIA") != kFiscalReceiptSeries &&
            number == settings.peekNumber("FACTNR") - 1)
            settings.setIndex("FACTNR", std::to_string(number));

        const tables::Params id{{"id", idFacto}};
        db.execute("DELETE FROM " + Table(db, "FactOut") + " WHERE IDFACTO=:id", id);

        // Each goods line gives back what its movement took, through the movement itself: a
        // movement already removed on the product card gives nothing back a second time.
        const std::string prodOut = Table(db, "ProdOut");
        tables::ResultSet lines = db.query(
            "SELECT IDFISA FROM " + prodOut + " WHERE IDFACTO=:id AND IDCAP<>-1 ORDER BY NRCRT",
            id);
        for (lines.first(); !lines.eof(); lines.next())
            RemoveMovement(db, lines.asNumber("IDFISA").toLongLong());

        db.execute("DELETE FROM " + prodOut + " WHERE IDFACTO=:id", id);
        db.execute("DELETE FROM " + Table(db, "ChitOut") + " WHERE IDFACTO=:id", id);
    });
    return std::nullopt;
}

std::vector<std::string> BuyerChoices(Database& db) {
    std::vector<std::string> out{kAnyChoice};
    for (std::string& name : FillDistinct(db, TableFile(db, "FactOut").string(), {}, "SOC2"))
        out.push_back(std::move(name));
    return out;
}

InvoiceListPrintChoices ReadPrintChoices(const Settings& settings,
                                         const std::filesystem::path& dataDir) {
    InvoiceListPrintChoices out;
    const std::string copies = Trimmed(settings.readSetting("VARFACT", "NRCOPII"));
    if (!copies.empty()) out.copies = copies;
    std::error_code ignored;
    out.stampAvailable = std::filesystem::is_regular_file(dataDir / "Stamp.jpg", ignored);
    out.stamp = out.stampAvailable && !Trimmed(settings.readSetting("SETARI", "CUSTAMP")).empty();
    return out;
}

void SavePrintChoices(Settings& settings, bool stamp, const std::string& copies) {
    settings.writeSetting("SETARI", "CUSTAMP", stamp ? "DA" : "");
    settings.writeSetting("VARFACT", "NRCOPII", copies);
}

void CountPrintout(Database& db, long long idFacto) {
    const long long changed =
        db.execute("UPDATE " + Table(db, "FactOut") + " SET LISTARI=LISTARI+1 WHERE IDFACTO=:id",
                   {{"id", idFacto}});
    if (changed == 0)
        throw tables::EngineError("FactOut: no row with IDFACTO " + std::to_string(idFacto));
}

}  // namespace tvx::core

// The data of the printed invoice and receipt (core/reports): the texts of the labels bound
// by name to the stored invoice row (FactOut) and to its current receipt (ChitOut), and the
// work table Fact.dbf of the program folder holding the rows printed in the invoice body.
// The layouts themselves live in the user interface; this file only says what they print.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class CompanyProfile;

// One row of the binding table: a label name and what it shows for this document.
struct BoundLabel {
    std::string label;     // as in the table, e.g. "LMySocCUI"
    bool textBox = false;  // a text box: cleared, then given `text` as its only line
    // The text to write; nullopt leaves the label as it is (total labels set by the caller,
    // receipt labels when no receipt is printed).
    std::optional<std::string> text;
};

struct DocumentLabels {
    std::string title;             // "F A C T U R A", or "BON FISCAL" for series "BON F."
    std::string receiptTitle;      // the four receipt titles: "CHITANTA"
    std::string telephone;         // Tel1: the company telephone/fax
    bool receiptBand = false;      // ChitJos shown
    std::vector<BoundLabel> rows;  // the 38 rows in table order

    // The row a layout component is filled from: its name without the last character (the
    // copy number) equals a label name, ignoring case. nullptr when none does.
    const BoundLabel* find(std::string_view componentName) const;
    // The text that component gets, nullopt when it is not bound or is left as it is.
    std::optional<std::string> textFor(std::string_view componentName) const;
};

// The labels of invoice `idFacto`, with the receipt rows filled from ChitOut row `idChit`
// when a receipt is wanted. A missing invoice or receipt row throws tables::EngineError
// naming its table.
DocumentLabels BindDocumentLabels(tables::Database& db, const CompanyProfile& company,
                                  long long idFacto, std::optional<long long> idChit);

// Fact.dbf in the program folder of `db`.
std::filesystem::path InvoiceLinesFile(const tables::Database& db);

// Recreates Fact.dbf and fills it from the ProdOut lines of the invoice (two summary rows,
// parts and labour, for the car-service activity). Returns whether the invoice has lines.
bool BuildInvoiceLines(tables::Database& db, const CompanyProfile& company, long long idFacto);

// The closing rows of the printed body: with lines, a blank row, the payment term
// ("Termen de achitare a facturii : " + DATASCAD) and the invoice remark; without lines,
// 25 blank rows to be completed by hand.
void AppendClosingRows(tables::Database& db, long long idFacto, bool hasLines);

// Deletes Fact.dbf; an absent file is no error.
void DeleteInvoiceLines(tables::Database& db);

}  // namespace tvx::core

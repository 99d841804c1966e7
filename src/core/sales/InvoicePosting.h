// Posting of outgoing documents (core/sales): a confirmed invoice or fiscal receipt becomes
// its FactOut header, its ProdOut lines, one sale movement per goods line on the stock cards
// and, for a fiscal receipt, the ChitOut receipt that pays it. A modified document first has
// its old lines undone. Each posting, counters included, is one transaction: the document is
// posted whole or not at all.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// Document types of the editor and the series a fiscal receipt is stored under.
constexpr const char* kInvoiceDocument = "FACTURA FISCALA";
constexpr const char* kFiscalReceiptDocument = "BON FISCAL";
constexpr const char* kFiscalReceiptSeries = "BON F.";

// One line of the document: a goods line has the id of its stock card in idCap, a service
// line has idCap -1.
struct InvoiceLine {
    long long idCap = -1;
    long long nrCrt = 0;
    std::string product, unit;
    tables::Decimal quantity, price, value, vat;  // CANT, PRETOUT, VALOUT, VALTVA
    std::string obs;
    std::optional<tables::Date> warranty;
    long long idCat = 0;
};

// The document as the editor confirmed it.
struct InvoiceDocument {
    std::string docType = kInvoiceDocument;
    std::string series;
    long long number = 0;
    tables::Date date;
    tables::Decimal vatRate;  // the rate shown; its whole part is stored
    // Buyer block.
    std::string buyerName, buyerRegCom, buyerCui, buyerAddress, buyerCounty, buyerLocality,
        buyerBank, buyerAccount;
    std::string delegate, representative, transport;
    tables::Decimal deliveryTime;  // DATALIV: serial day number with the time as fraction
    std::string operatorName;
    tables::Decimal vatTotal, netTotal, total;  // the three total labels
    std::optional<tables::Date> dueDate;
    std::string obs;
    std::string location;  // the stock location chosen in the list (blank when none)
    std::string iban;      // the company's collecting account chosen in the editor
    std::vector<InvoiceLine> lines;

    bool fiscalReceipt() const { return docType == kFiscalReceiptDocument; }
};

// What a posting is doing, told as it goes for the progress window: the step's text and the
// lines done of all the document's lines.
using PostingProgress = std::function<void(const std::string& text, int done, int total)>;
constexpr const char* kArrangeStockText = "Rearanjez magazia...";
constexpr const char* kUndoLinesText = "Recalculare...";
constexpr const char* kNewLinesText = "Introduc produsele noi...";
// The step of one line: "Operez " + PRODUS + "...".
std::string PostingLineText(const std::string& product);

// Posts a new document and returns its IDFACTO. Throws EngineError (nothing written, no
// counter moved) when any step fails; a failing line is named in the message. `progress`
// hears kArrangeStockText, then the text of each line in NRCRT order.
long long SaveNewInvoice(tables::Database& db, Settings& settings, const InvoiceDocument& doc,
                         const PostingProgress& progress = {});

// Refusal of the modification for the user's grade: a cashier may not change a printed
// invoice. Throws EngineError when the invoice does not exist.
std::optional<Message> ModifyRefusal(tables::Database& db, long long idFacto, int grade);

// Sum of the receipts (ChitOut.SUMA) recorded against the document.
tables::Decimal PaidAmount(tables::Database& db, long long idFacto);

// Posts the modified document over stored invoice `idFacto` (its series, number and print
// count stay). Returns the refusal, writing nothing, when ModifyRefusal gives one; otherwise
// posts or throws EngineError as SaveNewInvoice does. `progress` hears kUndoLinesText while
// the old lines are undone, kNewLinesText, then the text of each new line.
std::optional<Message> SaveModifiedInvoice(tables::Database& db, Settings& settings,
                                           long long idFacto, const InvoiceDocument& doc, int grade,
                                           const PostingProgress& progress = {});

// SERIA, NR and LISTARI of a stored document; EngineError naming FactOut when it is missing.
tables::ResultSet StoredInvoiceHeader(tables::Database& db, long long idFacto);

}  // namespace tvx::core

// Receipts of outgoing documents (core/sales): the ChitOut rows that collect money against a
// FactOut row, the receipt window "Incasare" as plain state with its checks and question, the
// checks run before it opens and before a receipt is deleted, and the statements that add and
// delete a receipt. Adding and deleting are each one transaction with the change of REST on
// the document and the counters they move (IDCHIT, CHITNR, NRBON), so REST always equals
// TOTAL minus the receipts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class CompanyProfile;

// Kinds of proof stored in ChitOut.DOCJUS besides the instrument names.
constexpr const char* kCashReceiptDocument = "CHITANTA";

// A ChitOut row.
struct Receipt {
    long long idChit = 0;
    long long idFacto = 0;
    std::string docJus;
    std::string series;
    long long number = 0;
    tables::Date date;
    tables::Decimal sum;
    tables::Decimal vatIncluded;
    std::string text;  // REPREZ
};

// What the receipt window needs of the FactOut row it collects.
struct ReceiptDocument {
    long long idFacto = 0;
    std::string series;
    long long number = 0;
    std::string location;   // GESTIUNE
    std::string buyer;      // SOC2
    long long vatRate = 0;  // TVAPROC
    tables::Decimal total, rest;
};

// The FactOut row of `idFacto`; nullopt when there is none.
std::optional<ReceiptDocument> ReadReceiptDocument(tables::Database& db, long long idFacto);
// The ChitOut row of `idChit`; nullopt when there is none.
std::optional<Receipt> ReadReceipt(tables::Database& db, long long idChit);
// The receipts of a document in IDCHIT order.
std::vector<Receipt> ReceiptsOf(tables::Database& db, long long idFacto);

// VAT contained in a receipt's sum: sum x rate / (rate + 100) in cents for a VAT payer,
// 0 otherwise.
tables::Decimal ReceiptVat(const tables::Decimal& sum, long long rate, bool vatPayer);

// Why "Adauga incasare" / "Sterge incasare" stops: a balloon at a control, or a message
// window; `offersAdministration` marks a Da/Nu question whose Da opens the administration
// window.
struct ReceiptStop {
    std::optional<FieldProblem> balloon;
    std::optional<Message> message;
    bool offersAdministration = false;
};

// Controls of the invoice list that get balloons.
constexpr const char* kReceiptsGrid = "GridChit";
constexpr const char* kDeleteReceiptButton = "DelInc";

// The checks of "Adauga incasare" in order, before the window opens: one document selected,
// the current receipt of the document not a fiscal receipt, a receipt series, free receipt
// numbers (last number not below the next one).
std::optional<ReceiptStop> CheckAddReceipt(size_t selectedDocuments,
                                           const std::optional<Receipt>& currentReceipt,
                                           const CompanyProfile& profile);

enum class ReceiptMode { CashReceipt, Transfer, FiscalReceipt };

// The receipt window "Incasare".
class ReceiptEntry {
  public:
    static constexpr const char* kSumField = "SumaEd";
    static constexpr const char* kTitle = "Incasare";
    static constexpr const char* kNewCaption = "Incasare noua";

    // The instrument names of "Numele documentului".
    static const std::vector<std::string>& InstrumentNames();

    std::string caption = kTitle;
    // Header labels.
    std::string location, buyer, documentText, restText;
    tables::Decimal rest;  // the document's REST when the window opened
    // "MODUL DE INCASARE" and the caption of its first choice.
    ReceiptMode mode = ReceiptMode::CashReceipt;
    std::string cashCaption = "cu CHITANTA";
    std::string instrumentName = "ORDIN DE PLATA";
    tables::Decimal instrumentNumber;  // "numarul"
    tables::Decimal fiscalNumber;      // "cu Bon Fiscal nr."
    tables::Date date;                 // "DIN DATA"
    tables::Decimal sum;               // "SUMA"
    std::string text;                  // "REPREZENTAND", lines ended by CR LF

    // ResetReceipt and the defaults of a new receipt of `doc`: the cash receipt caption from
    // the profile, the fiscal number from counter NRBON, the whole REST as sum.
    void open(const ReceiptDocument& doc, const CompanyProfile& profile, const Settings& settings,
              tables::Date today);
    // "&Memoreaza": whole instrument numbers, then the sign and zero checks of the sum.
    std::optional<FieldProblem> check();
    // Asked after check() passed when the sum exceeds REST; only Nu saves, anything else
    // returns to the sum.
    std::optional<Message> overRestQuestion() const;
};

// Inserts the receipt of `entry` (checked and confirmed) against document `idFacto`, lowers
// REST by the sum and moves IDCHIT, CHITNR for a cash receipt (its series and number are the
// profile's at this moment) or NRBON for a fiscal receipt; one transaction. Returns IDCHIT.
// Throws EngineError, writing nothing, when the document is missing or is a fiscal receipt
// (it takes only its own receipt), or when a counter holds no whole number.
long long AddReceipt(tables::Database& db, Settings& settings, long long idFacto,
                     const ReceiptEntry& entry);

// The checks of "Sterge incasare" for the current receipt (nullopt when there is none).
std::optional<ReceiptStop> CheckDeleteReceipt(const std::optional<Receipt>& receipt);
// The confirmation asked before deleting; anything but Da keeps the receipt.
Message DeleteReceiptQuestion(const Receipt& receipt);
// Deletes receipt `idChit`, gives its sum back to REST and, for the newest cash receipt
// (NR = CHITNR - 1), its number back to CHITNR; one transaction. Throws EngineError, writing
// nothing, for a missing receipt or a fiscal receipt (it goes only with its document).
void DeleteReceipt(tables::Database& db, Settings& settings, long long idChit);

}  // namespace tvx::core

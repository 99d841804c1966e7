// "Preluare e-Factura" in core (core/einvoice): a received e-invoice (ReceivedEInvoice)
// becomes an incoming document (FactIn) and, when asked, a goods received note on a chosen
// stock location with one line per invoice line, plus a line per document allowance
// ("DISCOUNT") or charge ("SERVICII"), and the stock entries.
//
// First the document is prepared into what the tables will hold, with the notes the user
// must see before saving: characters the tables' code page cannot hold, texts longer than
// their fields, quantities and prices with more decimals than the fields keep, unit codes
// without a unit in settings section UMS (the user writes the unit), several VAT rates, the
// differences between the file's totals and what is recorded. Some notes block the whole
// import (another currency than RON, no supplier fiscal code, the same invoice already
// recorded, amounts too large), some only the note. Mark-up and sale price of each line are
// proposed as the NIR line dialog does and may be changed. Posting is one transaction: the
// document, its note, the lines and the stock entries are written whole or not at all.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/einvoice/ReceivedEInvoice.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class CompanyProfile;
class NirLineForm;

// The open dialog of "Preluare e-Factura".
constexpr const char* kEInvoiceImportDialogTitle = "Alegeti factura electronica";
constexpr const char* kEInvoiceImportFilter = "Factura electronica (XML sau ZIP)|*.xml *.zip";

// How far a note stops the import.
enum class ImportNoteScope { Notice, BlocksNir, BlocksAll };

struct ImportNote {
    ImportNoteScope scope = ImportNoteScope::Notice;
    std::string text;
};

// One line of the note to be made, as the preview shows it.
struct ImportedLine {
    std::string source;    // "linia 3" of the file, or "reducerea 1" / "taxa 1"
    std::string product;   // as stored: cleaned, upper case, cut to its field
    std::string category;  // "MARFA", "DISCOUNT" or "SERVICII"
    std::string unitCode;  // BT-130 (empty for the document's allowances and charges)
    std::string unit;      // from UMS; written by the user when the code has none
    bool unitFromCode = false;
    tables::Decimal quantity;      // Q, in cents, negative for what a credit note takes back
    tables::Decimal price;         // P: the line's net value / Q, four decimals
    tables::Decimal value;         // the file's net value of the line, signed
    tables::Decimal vatPercent;    // the line's rate (0 for E, AE, O, Z)
    bool inNir = true;             // false for a line of quantity 0
    tables::Decimal markup, sale;  // A and S of the NIR line
};

struct EInvoiceImportResult {
    long long idFact = 0;
    long long idNir = 0;  // 0 when no note was made
    long long nrNir = 0;
};

class EInvoiceImport {
  public:
    // Control names of the preview's fields a check points at.
    static constexpr const char* kLocationField = "GesBox";
    static constexpr const char* kLinesField = "LiniiGrid";

    // `settings` and `company` should be the session's.
    EInvoiceImport(tables::Database& db, Settings& settings, const CompanyProfile& company);

    // Reads a chosen file (XML or ZIP) and prepares it; the refusal of an unreadable or
    // broken file, nothing prepared then.
    std::optional<Message> load(const std::filesystem::path& file, tables::Date today);
    // Prepares a document read already.
    void prepare(const ReceivedEInvoice& document, tables::Date today);

    // The values of the FactIn row.
    std::string numeFact, seriaNr, furnizor, cui, banca, cont;
    tables::Date dataIn, dataScad;
    tables::Decimal valoare, total, rest;
    int tvaProc = 0;
    // The note: whether to make it, where, and its lines.
    bool makeNir = true;
    std::string location;
    std::vector<ImportedLine> lines;
    const ReceivedEInvoice& document() const { return document_; }

    // The preview's edits of line `i`: a typed mark-up gives the sale price, a typed sale
    // price the mark-up (as the NIR line dialog); a unit is cleaned and upper-cased.
    void markupChanged(std::size_t i);
    void saleChanged(std::size_t i);
    void unitChanged(std::size_t i);

    // Everything to show before saving, in the order found; the blocking notes for the
    // current choices (units written, location, note or not) included.
    std::vector<ImportNote> notes() const;
    // The first note that stops the import as chosen; nullopt when it may go on.
    std::optional<Message> refusal() const;

    // Records the document (and the note, when made) as one transaction; a unit written
    // for a code without one is remembered in UMS. Refused (nothing written) when
    // refusal() has something; an engine error rolls everything back and propagates.
    EInvoiceImportResult post(tables::Date today);
    // The notice after a successful import.
    Message successMessage(const EInvoiceImportResult& result) const;

  private:
    void prepareHeader();
    void prepareLines();
    void checkTotals();
    NirLineForm lineForm(const ImportedLine& line, tables::Date today) const;
    void note(ImportNoteScope scope, const std::string& text);
    void noteText(const std::string& where, const std::string& text, std::size_t width,
                  std::string& stored);

    tables::Database& db_;
    Settings& settings_;
    const CompanyProfile& company_;
    ReceivedEInvoice document_;
    tables::Date today_;
    std::vector<ImportNote> fixed_;  // the notes of the document itself
};

// The whole road without questions (command line): read, prepare for `location` (no note
// when empty), refuse on any blocking note, post. Engine errors propagate after rollback.
struct EInvoiceImportRun {
    bool imported = false;
    Message message;  // the success notice, or the refusal
    std::vector<ImportNote> notes;
    EInvoiceImportResult result;
};
EInvoiceImportRun ImportEInvoiceFile(tables::Database& db, Settings& settings,
                                     const CompanyProfile& company,
                                     const std::filesystem::path& file, const std::string& location,
                                     tables::Date today);

}  // namespace tvx::core

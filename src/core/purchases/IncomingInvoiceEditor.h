// The incoming invoice editor "Adaugare / Modificare factura de intrare" (core/purchases): the
// header of one supplier document -- supplier, kind, number, dates, the supplier's account
// and fiscal code, VAT percentage and the two totals -- with the dialog's defaults, its
// reactions (a known supplier proposes its latest account, VAT and code; the account names
// its bank; the totals follow each other while the toggle is down) and the ordered checks of
// "&Memoreaza". It writes nothing: the incoming invoices list stores what it hands back.
#pragma once

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
struct IncomingDocument;

class IncomingInvoiceEditor {
  public:
    // Control names of the fields the checks point at.
    static constexpr const char* kSupplierField = "Furnizor";
    static constexpr const char* kKindField = "DocJus";
    static constexpr const char* kNumberField = "SeriaNr";
    static constexpr const char* kDateField = "DataIn";
    static constexpr const char* kDueDateField = "DataScad";
    static constexpr const char* kAccountField = "Cont";
    static constexpr const char* kFiscalCodeField = "CodFiscal";
    static constexpr const char* kVatField = "TvaProc";
    static constexpr const char* kNetField = "TotalFaraTva";
    static constexpr const char* kGrossField = "TotalCuTva";

    static constexpr const char* kAddTitle = "Adaugare factura de intrare";
    static constexpr const char* kEditTitle = "Modificare factura de intrare";

    explicit IncomingInvoiceEditor(tables::Database& db);

    // The fields as the dialog shows them (number fields as typed text).
    std::string furnizor;
    std::string numeFact;  // "Document justificativ"
    std::string seriaNr;
    tables::Date dataIn;
    tables::Date dataScad;
    std::string cont;
    std::string banca;  // read-only: the bank of the account
    std::string cui;
    std::string tvaProc;
    std::string totalFaraTva = "0";
    std::string totalCuTva = "0";
    // The toggle "Autocalculeaza totalul.": down at program start, then as the user left it
    // (reset does not touch it).
    bool autoCalc = true;

    // Whether the dialog adds a document (else it modifies one) and its title.
    bool adding() const { return adding_; }
    const char* title() const { return adding_ ? kAddTitle : kEditTitle; }

    // NewIncomingDocument: reads the dialog's query and lists, resets the fields (dates
    // today, VAT the default rate, totals "0") and titles the dialog for adding.
    void startNew(const Settings& settings, tables::Date today);
    // EditIncomingDocument: reads the query and lists and fills the fields from `document`
    // (the bank follows its account), titled for modifying.
    void startEdit(const IncomingDocument& document);

    // Drop-down contents: distinct suppliers, and the distinct kinds followed by "FACTURA
    // FISCALA" and "BON FISCAL" when missing.
    const std::vector<std::string>& suppliers() const { return suppliers_; }
    const std::vector<std::string>& kinds() const { return kinds_; }

    // Reactions. A supplier from the list takes the account, VAT and fiscal code of its
    // latest document (a typed unknown supplier fills nothing).
    void supplierChosen();
    void accountChanged();  // the bank of the account, empty when none
    void dateChanged();     // the due date follows the document date
    // With the toggle down: the net total gives the gross one (four decimals), the gross
    // total or the VAT gives the net one (rounded to cents). Up: nothing.
    void netTotalChanged();
    void grossTotalChanged();
    void vatChanged();

    // "&Memoreaza": normalises the fields and runs the checks in order; the first failure
    // comes back with its field. After a pass the values below are final.
    std::optional<FieldProblem> check();

    // The values to store, valid after check() passed.
    int vatRate() const;
    tables::Decimal netTotal() const;
    tables::Decimal grossTotal() const;

  private:
    void readLists();
    tables::Database& db_;
    tables::ResultSet history_;  // FactIn by FURNIZOR, DATAIN DESC
    std::vector<std::string> suppliers_;
    std::vector<std::string> kinds_;
    bool adding_ = true;
};

}  // namespace tvx::core

// The outgoing invoice editor (core/sales): one sales document -- an invoice or a fiscal
// receipt -- with its header fields and defaults, the reactions of the window (document type,
// buyer completion, the account's bank), the goods and service lines kept in the work table
// ProdTemp.dbf of the program folder with the stock the document may still take in Stoc.dbf,
// the totals, the ordered checks of "&Memoreaza" and the InvoiceDocument that posting takes.
// Nothing here writes a stored table: a cancelled document leaves the data directory as it
// was (only a confirmed new document remembers a few defaults in the settings file).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"
#include "core/sales/InvoicePosting.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Session;
class Settings;
class CompanyProfile;

// What "&Memoreaza" found: nothing (the document may be posted), a balloon at a field, or a
// message window (the fiscal receipt number already used today).
using InvoiceCheck = std::variant<std::monostate, FieldProblem, Message>;

class InvoiceEditor {
  public:
    enum class Mode { New, Modify, View };

    // Control names of the window; the checks name their field by them.
    static constexpr const char* kTypeField = "ComboBox1";
    static constexpr const char* kSeriesField = "SeriaEd";
    static constexpr const char* kNumberField = "NrEd";
    static constexpr const char* kIbanField = "IbanBox";
    static constexpr const char* kDateField = "DinData";
    static constexpr const char* kDueDateField = "TermenPl";
    static constexpr const char* kBuyerField = "CumpaBox";
    static constexpr const char* kAutoField = "AutoCompl";
    static constexpr const char* kRegComField = "RegComEd";
    static constexpr const char* kCuiField = "CuiEd";
    static constexpr const char* kVatField = "TvaEd";
    static constexpr const char* kCountyField = "JudBox";
    static constexpr const char* kLocalityField = "LocEd";
    static constexpr const char* kAddressField = "AdresaMemo";
    static constexpr const char* kBankField = "BancaEd";
    static constexpr const char* kAccountField = "Edit4";
    static constexpr const char* kRepresentativeField = "ReprezBox";
    static constexpr const char* kObsField = "ObsEd";
    static constexpr const char* kDelegateField = "DelegEd";
    static constexpr const char* kTransportField = "MijtEd";
    static constexpr const char* kDeliveryDateField = "DataLiv";
    static constexpr const char* kDeliveryTimeField = "OraLiv";
    static constexpr const char* kOperatorField = "OperatorEd";
    static constexpr const char* kGridField = "LiniiGrid";

    static constexpr const char* kNewCaption = "Factura de vanzare noua";
    static constexpr const char* kModifyCaption = "Modificare factura de vanzare";
    static constexpr const char* kViewCaption = "Vizualizare factura";
    static constexpr const char* kNoLines = "Nu ati adaugat nici un produs sau serviciu!";

    // The work tables live in the session's program folder.
    explicit InvoiceEditor(Session& session);
    InvoiceEditor(tables::Database& db, Settings& settings, const CompanyProfile& profile,
                  std::filesystem::path programFolder);

    // --- Header fields, as the window shows them -------------------------------------------
    std::string docType = kInvoiceDocument;
    std::string series;
    std::string number;  // "nr.", typed text
    std::string iban;    // "IBAN incasare": the chosen company account, blank when none
    tables::Date date;
    tables::Date dueDate;
    std::string buyer;
    bool autoComplete = true;
    std::string regCom, cui;
    std::string vatRate = "0";  // "TVA practicat", typed text
    std::string county, locality;
    std::string address;  // the address box, lines separated by "\n"
    std::string bank;     // read-only: the bank of the buyer's account
    std::string account;
    std::string representative, obs, delegate, transport;
    tables::Date deliveryDate;
    int deliverySeconds = 0;  // time of delivery, seconds after midnight
    std::string operatorName;
    std::string location;  // the stock location the goods come from
    std::string totalValue = "0.00", totalVat = "0.00", totalPay = "0.00";

    // --- Lists and state --------------------------------------------------------------------
    const std::vector<std::string>& accounts() const { return accounts_; }
    const std::vector<std::string>& buyers() const { return buyers_; }
    const std::vector<std::string>& representatives() const { return representatives_; }
    static std::vector<std::string> counties();
    static std::vector<std::string> docTypes();

    Mode mode() const { return mode_; }
    const char* caption() const;
    bool typeEnabled() const { return typeEnabled_; }
    bool workshop() const;
    std::filesystem::path linesTable() const { return folder_ / "ProdTemp.dbf"; }
    std::filesystem::path stockTable() const { return folder_ / "Stoc.dbf"; }

    // --- Opening ---------------------------------------------------------------------------
    // Resets every field to its default and builds the work tables afresh: Stoc from the
    // CapFise lots of `stockLocation` with stock, ProdTemp empty. A pre-order's buyer is
    // copied in. `now` is the time of day in seconds.
    void prepare(const std::string& stockLocation, const std::optional<PreorderBuyer>& preorder,
                 tables::Date today, int now);
    // A new document (after prepare): the company's invoice numbering is checked first; a
    // failure comes back as the error to show and the editor must not open.
    std::optional<Message> startNew();
    // Modification of stored document `idFacto`: prepares with its location, loads its
    // header and copies its lines into ProdTemp. EngineError when it does not exist.
    void startModify(long long idFacto, tables::Date today, int now);
    // Read-only view of stored document `idFacto`: its header; lines() reads ProdOut.
    void startView(long long idFacto);
    // Copies a FactOut row (the current one of `row`) into the header fields.
    void loadHeader(const tables::ResultSet& row);

    // --- Reactions ---------------------------------------------------------------------------
    // The document type chosen: proposes series and number.
    void typeChanged();
    // The buyer text changed: with "Autocompletare" ticked, fills the buyer's data from its
    // latest document in the buyer history (or clears it for an unknown buyer).
    void buyerChanged();
    // The buyer's account changed: the bank it belongs to.
    void accountChanged();

    // --- Lines ---------------------------------------------------------------------------------
    // The lines in NRCRT order (ProdOut of the document in view mode).
    tables::ResultSet lines() const;
    // Adds a goods line from the product picker (a second pick of the same lot adds to its
    // line); returns the line's NRCRT. EngineError when the lot is not in Stoc.
    long long addProduct(const ProductPick& pick);
    // Adds a service line from the service picker (joined to an equal line of the same name,
    // unit and unit price); returns the line's NRCRT.
    long long addService(const ServicePick& pick);
    // A VAT rate outside 0..100 at its field: lines are priced with the rate shown, so it is
    // checked before a line is added as well as before the save.
    std::optional<FieldProblem> rateProblem() const;
    // The refusal of "Sterge linia" when there is nothing to delete.
    std::optional<FieldProblem> deleteRefusal() const;
    // The question before line `nrCrt` is deleted.
    static Message deleteQuestion(long long nrCrt);
    // Deletes line `nrCrt`, gives its quantity back to its lot and closes the numbering gap.
    // Each change of the lines is whole and recomputes the totals.
    void deleteLine(long long nrCrt);
    // The three total labels from the lines.
    void recalcTotals();
    // The VAT rate shown, as lines are priced with it (a negative rate counts as 0).
    tables::Decimal rate() const;
    // The engine the work tables live in (labour lines of the workshop rebuild them).
    tables::Database& database() const { return db_; }

    // --- Saving --------------------------------------------------------------------------------
    // The checks of "&Memoreaza" in order, normalising the fields on the way; a document
    // needs at least one line. View mode passes at once. `today` dates the fiscal receipt
    // duplicate check.
    InvoiceCheck check(tables::Date today);
    // Remembers operator, payment term, transport and remark for the next new document
    // (new documents only).
    void saveSettings();
    // The document posting takes, from the fields and ProdTemp.
    InvoiceDocument document() const;
    // DATALIV: the serial day of the delivery date plus the fraction of the day of the time.
    tables::Decimal deliveryValue() const;

    // Deletes the work tables (Stoc when the editor returns, ProdTemp after posting or
    // cancelling); absent tables are ignored.
    void dropStockTable();
    void dropLinesTable();
    void cleanup();

  private:
    void readLists();
    long long insertProduct(const ProductPick& pick);
    long long insertService(const ServicePick& pick);
    void removeLine(long long nrCrt);
    void openHistory();
    void createWorkTables();
    void dropTable(const std::filesystem::path& file);
    std::string linesName() const;
    std::string stockName() const;

    tables::Database& db_;
    Settings& settings_;
    const CompanyProfile& profile_;
    std::filesystem::path folder_;
    Mode mode_ = Mode::New;
    bool typeEnabled_ = true;
    std::string lastChoice_ = kInvoiceDocument;  // the type the user chose last
    long long viewId_ = 0;
    std::optional<tables::ResultSet> history_;  // FactOut by GESTIUNE, SOC2, DATAOUT DESC
    std::vector<std::string> accounts_, buyers_, representatives_;
};

}  // namespace tvx::core

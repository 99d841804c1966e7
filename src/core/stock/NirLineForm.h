// The line dialog of a goods received note, "Adaugare produs" / "Modificare produs"
// (core/stock): the state of its fields, their values after a reset or when a stored line is
// opened, the live reactions (quantity, price, mark-up, sale price, category, product name,
// bar code), the ordered checks of "&Memoreaza" with their adjustments (discount sign,
// currency conversion), and the ProdNIR row the saved dialog stands for. The window copies
// its widgets into the public members, calls a reaction, and copies every field back with
// its own change signals blocked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/stock/NirLinePrices.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
struct NirLineRow;

class NirLineForm {
  public:
    // Control names used in the problems.
    static constexpr const char* kProductField = "ProdBox";
    static constexpr const char* kUnitField = "UmBox";
    static constexpr const char* kInvoicedField = "CantFEdit";
    static constexpr const char* kReceivedField = "CantREdit";
    static constexpr const char* kPriceField = "PretEdit";
    static constexpr const char* kValueField = "ValFEdit";
    static constexpr const char* kTotalField = "TotFEdit";
    static constexpr const char* kSaleField = "PretVEdit";
    static constexpr const char* kMarkupField = "AdaosEdit";
    static constexpr const char* kLocationField = "GesBox";
    static constexpr const char* kEuroField = "EuroEdit";

    static constexpr const char* kLei = "LEI";
    static constexpr const char* kEuro = "EURO";
    static constexpr const char* kDollars = "DOLARI";
    // The category drop-down, in order.
    static const std::vector<std::string>& Categories();
    static const std::vector<std::string>& Currencies();

    // When the location list is empty the dialog does not open; the message window offers
    // the administration window instead (Da opens it).
    static std::optional<Message> MissingLocations(const std::vector<std::string>& locations);

    // The note's VAT rate and the company's VAT status; set before a reset or a fill.
    void setVat(const tables::Decimal& vatPercent, bool vatPayer);
    const NirVat& vat() const { return vat_; }

    // A new line: every field to its start value. The category and, for the currency, the
    // choice of the previous addition are kept; A from VAR/ADAOSP; rates from CONSTANTE.
    void resetForAdd(const Settings& settings, const std::vector<std::string>& locations,
                     tables::Date today);
    // An existing line: a reset, the currency fixed to LEI and disabled, then the stored
    // values, P and PT taken back from PRETU.
    void fillForEdit(const NirLineRow& line, const Settings& settings,
                     const std::vector<std::string>& locations, tables::Date today);
    // The curs valutar boxes go back to CONSTANTE/EUROVAL and DOLARVAL when the dialog closes.
    void storeRates(Settings& settings) const;

    std::string title() const { return adding ? "Adaugare produs" : "Modificare produs"; }
    bool markupEditable() const { return category == "MARFA"; }
    bool vatEditable() const { return vat_.payerRate(); }
    std::string salePriceCaption() const {
        return vat_.payerRate() ? "Pret cu adaos si TVA" : "Pret cu adaos";
    }

    // Reactions.
    void invoicedChanged();                     // QF: Q takes the same value
    void recalcLine();                          // Q or P: RecalcLine
    void markupChanged();                       // A: S from A
    void saleChanged();                         // S: A from S
    void categoryChanged();                     // A, S only for MARFA, else A = 0, S from A
    void productChanged(tables::Database& db);  // adding only: unit, P, bar code
    void barCodeEntered(tables::Database& db);  // the last line of that bar code

    // "&Memoreaza": the checks in order; the first failure is returned and the fields keep
    // what was typed (a discount's signs or a currency conversion already made stay).
    // Writes VAR/ADAOSP when A is not "0". On success the currency is remembered for the
    // next addition.
    std::optional<FieldProblem> save(tables::Database& db, Settings& settings);

    // The ProdNIR row of the saved dialog (ids left for the line operation), with PT as the
    // lot's entry price.
    NirLineRow toRow() const;

    // Fields. Amounts as exact decimals keeping the scale they were typed or computed with
    // (the window shows toString()).
    bool adding = true;
    long long idProd = 0;  // the line being modified
    std::string product;
    std::string category = "MARFA";
    std::string unit;
    tables::Decimal qf, q, p;
    std::string currency = kLei;
    bool currencyEnabled = true;
    tables::Decimal pt, vf, tf, tt, a, s;
    std::string location;
    tables::Date warranty;
    std::string barCode;
    std::vector<std::string> remarks;  // the lines of OBSERVATII
    tables::Decimal euroRate, dollarRate;
    // The drop-down lists.
    std::vector<std::string> locationList;

  private:
    void resetFields(const Settings& settings, const std::vector<std::string>& locations,
                     tables::Date today);
    NirVat vat_{tables::Decimal(0), false};
    std::string addCurrency_ = kLei;
};

}  // namespace tvx::core

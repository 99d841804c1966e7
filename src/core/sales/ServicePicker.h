// The service picker of the outgoing invoice editor, "Adaugare serviciu" (core/sales): a
// service line composed of name, unit, quantity and price with VAT. Every name ever invoiced is
// offered; a name with an earlier service line proposes that line's unit and price, and a
// service of the catalog fills the line at once. It only reads; the editor writes the line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class ServicePicker {
  public:
    // Control names of the fields the checks point at.
    static constexpr const char* kNameField = "ComboBox1";
    static constexpr const char* kUnitField = "UmEd";
    static constexpr const char* kQuantityField = "CantEd";
    static constexpr const char* kPriceField = "PretFEd";

    static constexpr const char* kTitle = "Adaugare serviciu";
    static constexpr const char* kDefaultUnit = "BUC";

    explicit ServicePicker(tables::Database& db);

    // The fields as the window shows them (numbers as typed text).
    std::string name;
    std::string unit = kDefaultUnit;
    std::string quantity = "1";
    std::string price = "0";  // "Pret cu TVA", per unit
    std::string total = "0";  // "Total valoare"
    std::string remark;       // the multi-line "Observatii", lines as typed
    tables::Date warranty;
    long long idCat = 0;  // the catalog service the line came from, 0 when none

    // ResetServicePicker and the history: the name list (every distinct non-blank PRODUS of
    // ProdOut, sorted), the fields to their defaults (warranty `today`), then the service
    // lines of ProdOut (IDFISA = -1) by PRODUS, newest invoice first. Throws EngineError.
    void open(tables::Date today);
    // After the window closed: the history let go.
    void close();

    const std::vector<std::string>& names() const { return names_; }
    // The service lines read at open().
    tables::ResultSet& history() { return history_; }

    // ComboBox1Change: a name of the list with an earlier service line takes that line's
    // unit and its price with VAT per unit, truncated to cents; the total follows. Any other
    // name changes nothing.
    void nameChosen();
    // PretFEdChange: total = quantity x price, two decimals.
    void priceChanged();
    // BitBtn3Click: a service of the catalog (id not 0) fills name, unit, quantity 1, price
    // and the catalog id; the total follows.
    void catalogChosen(const CatalogService& service);

    // "Adauga": the checks in order; the first failure comes back with its field. After a
    // pass result() holds the line.
    std::optional<FieldProblem> add();
    const std::optional<ServicePick>& result() const { return result_; }

  private:
    tables::Database& db_;
    std::vector<std::string> names_;
    tables::ResultSet history_;
    std::optional<ServicePick> result_;
};

// The price with VAT per unit of a stored line: truncate((PRETOUT + VALTVA) / CANT x 100) / 100,
// computed exactly (no rounding before the cut). nullopt for a line of quantity 0.
std::optional<tables::Decimal> UnitPriceWithVat(const tables::Decimal& pretOut,
                                                const tables::Decimal& valTva,
                                                const tables::Decimal& cant);

}  // namespace tvx::core

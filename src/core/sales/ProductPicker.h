// The product picker of the outgoing invoice editor, "Adaugare produs", and its advanced search
// "Cautare Avansata" (core/sales). The picker offers the lots of the document's work table
// Stoc.dbf: a typed name filters them by prefix, a barcode finds its lot, a quantity gives the
// total with VAT, and "&Adauga" hands back the lot with quantity, warranty, remark and workshop
// section. The search finds a product name by a word it contains, over every goods stock card
// of every location. Both only read; the editor does the arithmetic and the writing.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/admin/AdminCommon.h"
#include "core/sales/EditorInputs.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

class ProductPicker {
  public:
    // Control names of the fields the checks point at.
    static constexpr const char* kNameField = "ProdEd";
    static constexpr const char* kBarcodeField = "CodBareEd";
    static constexpr const char* kQuantityField = "CantEd";
    static constexpr const char* kSectionField = "SectiaEd";

    static constexpr const char* kNotInStock = "Produsul nu exista pe stoc!";
    static constexpr const char* kNoQuantity = "Nu ati scris Cantitatea!";

    explicit ProductPicker(tables::Database& db);

    // The fields as the window shows them (the quantity as typed text).
    std::string name;
    std::string barcode;
    std::string quantity = "1";
    std::string remark;  // the multi-line "Observatii", lines as typed
    std::string section;
    std::string total = "0";  // "Total cu TVA"
    tables::Date warranty;
    // "Afiseaza numai Marfa, pe stoc": only goods lots with something left.
    bool onlyGoods = false;

    // ResetProductPicker and the query: fields to their defaults (warranty `today`), the
    // switch from CONST/DOARMARFA, the result cleared, then the lots of `stockTable` opened
    // without a row filter. Throws EngineError when the table cannot be read.
    void open(const std::filesystem::path& stockTable, const Settings& settings,
              tables::Date today);
    // After the window closed: the rows let go and the switch stored in CONST/DOARMARFA.
    void close(Settings& settings);

    // The statement the lots come from, as the switch stands.
    std::string statement() const;
    // The lots shown; the cursor is the grid's current row.
    tables::ResultSet& rows() { return rows_; }
    bool hasRows() const { return !rows_.empty(); }
    // The unit of the current row (shown beside the quantity), empty without one.
    std::string currentUnit() const;

    // Reactions.
    // DoarMarfaClick: the condition rewritten from `onlyGoods`, the lots read again (the row
    // filter of the typed name is applied again).
    void switchChanged();
    // ProdEdChange: the current lot named exactly keeps its place; otherwise the lots are
    // narrowed to those whose name begins with the text, and one named exactly becomes
    // current. Its barcode is copied, and the total follows.
    void nameChanged();
    // CodBareEdKeyDown (Enter): the shown lot with that barcode gives the name, else the
    // name is emptied; then the name reaction runs once. Nothing happens without shown lots
    // or with a blank barcode.
    void barcodeEntered();
    // A row made current by the user (click, keys, double-click or Enter) is the chosen lot:
    // its name into the name field, then the name reaction, which leaves the rows as they are.
    void rowChosen();
    // Enter in the name field: with lots shown, the current lot's name completes it.
    void nameEntered();
    // CantEdChange: the total of quantity x the current lot's sale price with VAT.
    void quantityChanged();

    // "&Adauga": the checks in order (the first failure comes back with its field); after a
    // pass the section is cleaned and result() holds the pick.
    std::optional<FieldProblem> add();
    const std::optional<ProductPick>& result() const { return result_; }

  private:
    // PRODUS of the current row, empty at eof.
    std::string currentName() const;
    void applyNameFilter();
    void reopen();
    void refreshTotal();

    tables::Database& db_;
    std::filesystem::path stockTable_;
    tables::ResultSet rows_;
    std::optional<ProductPick> result_;
};

// "Cautare Avansata": goods stock cards (CATEG "MARFA") of every location, lots without stock
// included, whose name contains a word.
class ProductSearch {
  public:
    static constexpr const char* kTitle = "Cautare produs";

    explicit ProductSearch(tables::Database& db);

    std::string word;  // "Denumirea contine cuvantul"

    // SearchProduct: the word and the result cleared, the cards read ordered by PRODUS.
    void open();
    // Edit1Change: the cards read again with the word as a condition.
    void wordChanged();
    // SMDBGrid3TitleClick: the cards read again ordered by `field` (one of the grid's
    // columns, else EngineError), the same card kept current when it is still shown.
    void sortBy(const std::string& field);
    // "&Am ales": the current card's name, empty without cards.
    std::string choose();
    // The rows let go after the window closed.
    void close();

    std::string statement() const;
    const std::string& orderField() const { return order_; }
    tables::ResultSet& rows() { return rows_; }

  private:
    void reopen();
    tables::Database& db_;
    std::string order_ = "PRODUS";
    tables::ResultSet rows_;
};

}  // namespace tvx::core

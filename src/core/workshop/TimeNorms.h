// The window "Normativ de timp" in core (core/workshop): the operations of table Timp of one
// car type and one workshop section, chosen in two lists; adding, modifying and deleting an
// operation (through TimeNormEntry), setting how many times an operation is billed and its
// standard time (the quantity dialog), setting the hourly rate of a whole section of a car
// type, and the rows the printed list shows. Each change is one transaction; afterwards the
// grid goes back to the row it concerned.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "core/workshop/TimeNormEntry.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// UPDATE Timp SET CANT=0 on every row: nothing billed (ResetTimeQuantities).
void ResetTimeQuantities(tables::Database& db);

class TimeNorms {
  public:
    static constexpr const char* kTitle = "Normativ de timp";
    // Control names of the two lists and the grid.
    static constexpr const char* kCarTypeList = "TipAuto";
    static constexpr const char* kSectionList = "Sectia";
    static constexpr const char* kGrid = "Operatii";

    // `settings` should be built with `db`, as the session does.
    TimeNorms(tables::Database& db, Settings& settings);

    // Opening: both lists filled with the distinct car types and sections of Timp, nothing
    // chosen, so the grid is empty. Engine errors propagate.
    void open();
    // Lets the rows go when the window closes.
    void close();

    const std::vector<std::string>& carTypes() const { return carTypes_; }
    const std::vector<std::string>& sections() const { return sections_; }
    int carTypeIndex() const { return carTypeIndex_; }
    int sectionIndex() const { return sectionIndex_; }
    std::string carType() const;
    std::string section() const;

    // A choice in a list (an index outside it chooses nothing): the grid shows the
    // operations of both texts ordered by TIPAUTO, SECTIA, COD and stays on the row it was
    // on when that row is still shown.
    void chooseCarType(int index);
    void chooseSection(int index);

    // The grid's rows; the cursor is the grid's current row.
    tables::ResultSet& rows() { return rows_; }
    const tables::ResultSet& rows() const { return rows_; }
    bool hasRow() const { return !rows_.eof(); }
    // The IDTIMP of the current row, 0 when none.
    long long currentId() const;

    // "Adauga Operatiune": the dialog reset with the window's lists and choices, and the
    // rate the settings keep for them.
    void startAdd(TimeNormEntry& entry) const;
    // After the dialog's check passed: a new IDTIMP and the row, CANT 0, in one transaction;
    // then both lists hold and choose its car type and section and it is the current row.
    long long add(const TimeNormEntry& entry);

    // "Modifica Operatiune": the refusal on an empty grid, else the dialog filled from the
    // current row.
    std::optional<FieldProblem> startEdit(TimeNormEntry& entry);
    // After the dialog's check passed: the row being modified rewritten (CANT kept); the
    // lists stay, so a row moved to another car type or section leaves the grid.
    void update(const TimeNormEntry& entry);

    // "Sterge Operatiune": the refusal on an empty grid, the question, the deletion.
    std::optional<FieldProblem> deleteRefusal() const;
    static Message deleteQuestion();
    void remove();

    // "&Stabileste cantitatea": the refusal on an empty grid; the time the dialog starts
    // from (the row's TIMP; its quantity starts at 1).
    std::optional<FieldProblem> quantityRefusal() const;
    tables::Decimal currentHours() const;
    // After the dialog: the current row gets TIMP = `hours` (its new standard time) and
    // CANT = `quantity`. Refused at its field, changing nothing, when CheckNormQuantity
    // refuses them.
    std::optional<FieldProblem> setQuantity(const tables::Decimal& quantity,
                                            const tables::Decimal& hours);

    // "Stabileste Tariful/ora": the dialog reset with every car type and section of Timp.
    void startRate(HourlyRateEntry& entry) const;
    // After its check passed: LEIORA = the rate on every operation of that car type and
    // section; returns how many changed. The grid stays on its row.
    long long setRate(const HourlyRateEntry& entry);

    // "Listeaza normativul": the refusal when the grid shows nothing.
    std::optional<FieldProblem> printRefusal() const;

  private:
    TimeNorm currentNorm() const;
    void fillLists();
    void readRows(long long keepId);
    std::string table() const;

    tables::Database& db_;
    Settings& settings_;
    std::vector<std::string> carTypes_, sections_;
    int carTypeIndex_ = -1, sectionIndex_ = -1;
    tables::ResultSet rows_;
    long long editing_ = 0;  // IDTIMP of the row the dialog modifies
};

}  // namespace tvx::core

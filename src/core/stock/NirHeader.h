// The header dialog of a goods received note, "Adaugare N.I.R." / "Modificare N.I.R."
// (core/stock): its fields and start values, the suppliers list and the grid of incoming
// documents with its filter, the ordered checks of "Memoreaza", and saving the header --
// a new note from the chosen incoming document, or a changed number, date and names that
// carry the note's stock movements along -- as one transaction with the settings it writes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
struct NirNote;

class NirHeaderForm {
  public:
    // Control names used in the problems.
    static constexpr const char* kDocumentsField = "FactGrid";
    static constexpr const char* kNumberField = "NrNirEdit";

    // "Adauga Receptie": the number from counter NRNIR, today's date, the first supplier of
    // the list, the names proposed from NIR/DELEGAT, NIR/RECEPTIONER and NIR/GESTIONAR.
    void startNew(tables::Database& db, const Settings& settings, tables::Date today);
    // "&Modifica Receptia": the note's values; supplier and document cannot change. The
    // problem of an empty list comes from ModifyProblem.
    void startEdit(tables::Database& db, const NirNote& note);
    static std::optional<FieldProblem> ModifyProblem(const std::optional<NirNote>& note);

    std::string title() const { return adding ? "Adaugare N.I.R." : "Modificare N.I.R."; }
    bool documentPanelEnabled() const { return adding; }

    // The grid of incoming documents: FactIn left-joined with CapNIR (IDFACT, FURNIZOR,
    // NUMEFACT, SERIANR, IDNIR), ordered by supplier, kind and number.
    static tables::ResultSet QueryDocuments(tables::Database& db);
    // Its filter: for a new note the documents without a note of exactly the typed supplier;
    // for a modified note none (the grid is then positioned on the note's document).
    std::string documentsFilter() const;

    // "Memoreaza": the checks in order, given the IDFACT of the grid's current row (nullopt
    // when the grid is empty). Trims the three names on the way.
    std::optional<FieldProblem> check(tables::Database& db, std::optional<long long> document);
    // After check() passed: adds the note for `document` (IDNIR from its counter, document
    // data from FactIn, totals and LISTAT 0, counter NRNIR set past the typed number) or
    // updates the edited note and renumbers its movements; the names go to the NIR section.
    // One transaction. Returns the note's IDNIR. A missing document or note throws
    // EngineError and leaves everything as it was.
    long long save(tables::Database& db, Settings& settings, long long document);

    bool adding = true;
    long long idNir = 0;  // the note being modified
    long long number = 0;
    tables::Date date;
    std::string supplier;
    std::vector<std::string> suppliers;  // the supplier drop-down
    std::string delegate, receiver, storekeeper;

  private:
    long long oldNumber_ = 0;
    tables::Date oldDate_;
};

}  // namespace tvx::core

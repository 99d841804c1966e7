// The time norms window's lists, grid and the commands of its buttons.
#include "core/workshop/TimeNorms.h"

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;
using tables::EngineError;

namespace {

const std::string& ItemAt(const std::vector<std::string>& items, int index) {
    static const std::string kNone;
    return index >= 0 && index < static_cast<int>(items.size()) ? items[index] : kNone;
}

int ValidIndex(const std::vector<std::string>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? index : -1;
}

}  // namespace

void ResetTimeQuantities(tables::Database& db) {
    db.execute("UPDATE " + QuotedPath(TableFile(db, "Timp")) + " SET CANT=0");
}

TimeNorms::TimeNorms(tables::Database& db, Settings& settings) : db_(db), settings_(settings) {}

std::string TimeNorms::table() const {
    return QuotedPath(TableFile(db_, "Timp"));
}

std::string TimeNorms::carType() const {
    return ItemAt(carTypes_, carTypeIndex_);
}
std::string TimeNorms::section() const {
    return ItemAt(sections_, sectionIndex_);
}

void TimeNorms::fillLists() {
    const std::string file = TableFile(db_, "Timp").string();
    carTypes_ = FillDistinct(db_, file, "", "TIPAUTO");
    sections_ = FillDistinct(db_, file, "", "SECTIA");
}

void TimeNorms::open() {
    editing_ = 0;
    fillLists();
    carTypeIndex_ = sectionIndex_ = -1;
    readRows(0);
}

void TimeNorms::close() {
    rows_ = tables::ResultSet();
    editing_ = 0;
}

void TimeNorms::readRows(long long keepId) {
    rows_ = db_.query("SELECT * FROM " + table() +
                          " WHERE TIPAUTO=:tip AND SECTIA=:sectia ORDER BY TIPAUTO, SECTIA, COD",
                      {{"tip", carType()}, {"sectia", section()}});
    rows_.first();
    if (keepId > 0) rows_.locate("IDTIMP", keepId);
}

long long TimeNorms::currentId() const {
    return rows_.eof() ? 0 : rows_.asNumber("IDTIMP").toLongLong();
}

void TimeNorms::chooseCarType(int index) {
    const long long keep = currentId();
    carTypeIndex_ = ValidIndex(carTypes_, index);
    readRows(keep);
}

void TimeNorms::chooseSection(int index) {
    const long long keep = currentId();
    sectionIndex_ = ValidIndex(sections_, index);
    readRows(keep);
}

TimeNorm TimeNorms::currentNorm() const {
    if (rows_.eof()) throw EngineError("No operation of the time norms is selected", "Timp");
    TimeNorm n;
    n.idTimp = currentId();
    n.carType = rows_.asText("TIPAUTO");
    n.section = rows_.asText("SECTIA");
    n.name = rows_.asText("DENUMIRE");
    n.code = rows_.asText("COD");
    n.hours = rows_.asNumber("TIMP");
    n.rate = rows_.asNumber("LEIORA");
    return n;
}

// ---- Adding and modifying ----

void TimeNorms::startAdd(TimeNormEntry& entry) const {
    entry.startNew(carTypes_, sections_, carType(), section());
    // The car type and section shown are those of the new operation: their rate is proposed.
    entry.proposeRate(settings_);
}

long long TimeNorms::add(const TimeNormEntry& entry) {
    const TimeNorm n = entry.norm();
    const long long id = db_.atomically([&] {
        const long long idTimp = settings_.nextNumber("IDTIMP");
        db_.execute("INSERT INTO " + table() +
                        " (IDTIMP, TIPAUTO, SECTIA, DENUMIRE, COD, TIMP, CANT, LEIORA) VALUES"
                        " (:id, :tip, :sectia, :den, :cod, :timp, 0, :leiora)",
                    {{"id", idTimp},
                     {"tip", n.carType},
                     {"sectia", n.section},
                     {"den", n.name},
                     {"cod", n.code},
                     {"timp", n.hours},
                     {"leiora", n.rate}});
        return idTimp;
    });
    // A new car type or section joins its list; both are chosen so the operation shows.
    fillLists();
    carTypeIndex_ = SelectListItem(carTypes_, n.carType);
    sectionIndex_ = SelectListItem(sections_, n.section);
    readRows(id);
    return id;
}

std::optional<FieldProblem> TimeNorms::startEdit(TimeNormEntry& entry) {
    if (!hasRow()) return FieldProblem{kGrid, "Nu aveti ce modifica!"};
    const TimeNorm current = currentNorm();
    entry.startEdit(carTypes_, sections_, current);
    editing_ = current.idTimp;
    return std::nullopt;
}

void TimeNorms::update(const TimeNormEntry& entry) {
    if (editing_ <= 0)
        throw EngineError("No operation of the time norms is being modified", "Timp");
    const TimeNorm n = entry.norm();
    db_.atomically([&] {
        db_.execute("UPDATE " + table() +
                        " SET TIPAUTO=:tip, SECTIA=:sectia, DENUMIRE=:den, COD=:cod, TIMP=:timp,"
                        " LEIORA=:leiora WHERE IDTIMP=:id",
                    {{"tip", n.carType},
                     {"sectia", n.section},
                     {"den", n.name},
                     {"cod", n.code},
                     {"timp", n.hours},
                     {"leiora", n.rate},
                     {"id", editing_}});
    });
    const long long id = editing_;
    editing_ = 0;
    readRows(id);
}

// ---- Deleting ----

std::optional<FieldProblem> TimeNorms::deleteRefusal() const {
    if (!hasRow()) return FieldProblem{kGrid, "Nu aveti ce sterge!"};
    return std::nullopt;
}

Message TimeNorms::deleteQuestion() {
    return {"Stergere operatiune", "Stergem operatiunea aleasa?", MessageKind::Confirmation};
}

void TimeNorms::remove() {
    const long long id = currentNorm().idTimp;
    db_.atomically([&] {
        db_.execute("DELETE FROM " + table() + " WHERE IDTIMP=:id", {{"id", id}});
    });
    readRows(0);
}

// ---- Quantity and rate ----

std::optional<FieldProblem> TimeNorms::quantityRefusal() const {
    if (!hasRow()) return FieldProblem{kGrid, "Nu aveti nici o operatiune!"};
    return std::nullopt;
}

Decimal TimeNorms::currentHours() const {
    return currentNorm().hours;
}

std::optional<FieldProblem> TimeNorms::setQuantity(const Decimal& quantity, const Decimal& hours) {
    if (auto problem = CheckNormQuantity(quantity, hours)) return problem;
    const long long id = currentNorm().idTimp;
    db_.atomically([&] {
        db_.execute("UPDATE " + table() + " SET TIMP=:timp, CANT=:cant WHERE IDTIMP=:id",
                    {{"timp", hours.rescaled(4)}, {"cant", quantity.rescaled(4)}, {"id", id}});
    });
    readRows(id);
    return std::nullopt;
}

void TimeNorms::startRate(HourlyRateEntry& entry) const {
    const std::string file = TableFile(db_, "Timp").string();
    entry.start(FillDistinct(db_, file, "", "TIPAUTO"), FillDistinct(db_, file, "", "SECTIA"));
}

long long TimeNorms::setRate(const HourlyRateEntry& entry) {
    const long long keep = currentId();
    const tables::Params params = {
        {"leiora", entry.value()}, {"tip", entry.carType}, {"sectia", entry.section}};
    const long long changed = db_.atomically([&] {
        return db_.execute(
            "UPDATE " + table() + " SET LEIORA=:leiora WHERE TIPAUTO=:tip AND SECTIA=:sectia",
            params);
    });
    readRows(keep);
    return changed;
}

std::optional<FieldProblem> TimeNorms::printRefusal() const {
    if (rows_.empty()) return FieldProblem{kGrid, "Nu aveti ce lista!"};
    return std::nullopt;
}

}  // namespace tvx::core

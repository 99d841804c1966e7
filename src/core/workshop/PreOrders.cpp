// The pre-order list: reading, searching, ordering and the statements of its buttons.
#include "core/workshop/PreOrders.h"

#include "core/common/DayStamp.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Database;
using tables::Date;
using tables::Params;

namespace {

constexpr const char* kTable = "Precom";

std::string PrecomTable(const Database& db) {
    return QuotedPath(TableFile(db, kTable));
}

std::string Numbered(const char* base, size_t n) {
    return base + std::to_string(n + 1);
}

// The fields of the data model but IDCOM, in table order, with their values.
Params FieldValues(const PreOrder& p) {
    Params values = {{"NRCOM", p.nrCom},
                     {"DATACOM", p.dataCom},
                     {"CLIENT", p.client},
                     {"ADRESA", p.adresa},
                     {"TELEFON", p.telefon},
                     {"CF", p.cf},
                     {"RC", p.rc},
                     {"CONT", p.cont},
                     {"BANCA", p.banca},
                     {"INMATRIC", p.inmatric},
                     {"SASIU", p.sasiu},
                     {"MODEL", p.model},
                     {"RECEPTIE", StampValue(p.receptie, p.receptieMinutes)},
                     {"KM", p.km},
                     {"MOTOR", p.motor},
                     {"ASIGURATOR", p.asigurator},
                     {"RECEPOM", p.recepOm},
                     {"GARANTIE", p.garantie},
                     {"REVIZIE", p.revizie},
                     {"FILIALA", p.filiala},
                     {"TERMEN", StampValue(p.termen, p.termenMinutes)},
                     {"NIVEL", p.nivel},
                     {"OBSG", p.obsG}};
    for (size_t n = 0; n < p.linii.size(); ++n) values[Numbered("LINIA", n)] = p.linii[n];
    for (size_t n = 0; n < p.v.size(); ++n) {
        values[Numbered("V", n)] = p.v[n];
        values[Numbered("OBS", n)] = p.obs[n];
    }
    return values;
}

PreOrder ReadPreOrder(const tables::ResultSet& row) {
    PreOrder p;
    p.idCom = row.asNumber("IDCOM").toLongLong();
    p.nrCom = row.asNumber("NRCOM").toLongLong();
    p.dataCom = row.asDate("DATACOM").value_or(Date());
    p.client = row.asText("CLIENT");
    p.adresa = row.asText("ADRESA");
    p.telefon = row.asText("TELEFON");
    p.cf = row.asText("CF");
    p.rc = row.asText("RC");
    p.cont = row.asText("CONT");
    p.banca = row.asText("BANCA");
    p.inmatric = row.asText("INMATRIC");
    p.sasiu = row.asText("SASIU");
    p.model = row.asText("MODEL");
    const DayTime reception = SplitStamp(row.asNumber("RECEPTIE"));
    p.receptie = reception.date;
    p.receptieMinutes = reception.minutes;
    p.km = row.asNumber("KM").toLongLong();
    p.motor = row.asText("MOTOR");
    p.asigurator = row.asText("ASIGURATOR");
    p.recepOm = row.asText("RECEPOM");
    p.garantie = row.asDate("GARANTIE").value_or(Date());
    p.revizie = row.asText("REVIZIE");
    p.filiala = row.asText("FILIALA");
    const DayTime completion = SplitStamp(row.asNumber("TERMEN"));
    p.termen = completion.date;
    p.termenMinutes = completion.minutes;
    for (size_t n = 0; n < p.linii.size(); ++n) p.linii[n] = row.asText(Numbered("LINIA", n));
    p.nivel = row.asText("NIVEL");
    for (size_t n = 0; n < p.v.size(); ++n) {
        p.v[n] = row.asText(Numbered("V", n));
        p.obs[n] = row.asText(Numbered("OBS", n));
    }
    p.obsG = row.asText("OBSG");
    return p;
}

}  // namespace

PreOrders::PreOrders(Database& db, Settings& settings) : db_(db), settings_(settings) {}

std::vector<std::string> PreOrders::distinct(const char* field) const {
    return FillDistinct(db_, TableFile(db_, kTable).string(), "", field);
}

void PreOrders::open() {
    clients_ = distinct("CLIENT");
    order_ = "IDCOM";
    filter_.clear();
    read(std::nullopt);
}

void PreOrders::close() {
    rows_ = tables::ResultSet();
}

void PreOrders::read(std::optional<long long> idCom) {
    rows_ = db_.query("SELECT * FROM " + PrecomTable(db_) + " ORDER BY " + order_);
    rows_.setFilter(filter_);
    if (!idCom || !rows_.locate("IDCOM", *idCom)) rows_.last();
}

std::string PreOrders::SearchFilter(const std::string& client, const std::string& plate) {
    std::vector<std::string> terms;
    if (!Trimmed(client).empty()) terms.push_back(FilterPrefix("CLIENT", client));
    if (!Trimmed(plate).empty()) terms.push_back(FilterPrefix("INMATRIC", plate));
    return JoinFilters(terms);
}

void PreOrders::search(const std::string& client, const std::string& plate) {
    filter_ = SearchFilter(client, plate);
    rows_.setFilter(filter_);
    rows_.last();
}

void PreOrders::sortBy(const std::string& field) {
    if (rows_.rowCount() < 2 || field == "RECEPTIE" || field == "TERMEN") return;
    const long long id = current().idCom;
    order_ = field;
    read(id);
}

PreOrder PreOrders::current() const {
    if (rows_.eof()) throw tables::EngineError("No pre-order is selected", kTable);
    return ReadPreOrder(rows_);
}

void PreOrders::startAdd(PreOrderEntry& entry, const std::string& searchedClient,
                         const std::string& searchedPlate, Date today, int nowMinutes) {
    entry.reset(settings_, today, nowMinutes, distinct("MODEL"), distinct("RECEPOM"));
    if (rows_.eof()) return;
    const PreOrder row = current();
    const std::string plate = Trimmed(searchedPlate);
    const std::string client = Trimmed(searchedClient);
    if ((!plate.empty() && row.inmatric == plate) || (!client.empty() && row.client == client)) {
        entry.copyFrom(row);
        entry.restartFrom(settings_, today, nowMinutes);
    }
}

void PreOrders::startEdit(PreOrderEntry& entry, Date today, int nowMinutes) {
    const PreOrder row = current();
    entry.reset(settings_, today, nowMinutes, distinct("MODEL"), distinct("RECEPOM"));
    entry.copyFrom(row);
}

long long PreOrders::add(const PreOrderEntry& entry) {
    const PreOrder saved = entry.preOrder();
    Params values = FieldValues(saved);
    std::string fields = "IDCOM", params = ":IDCOM";
    for (const auto& [name, value] : values) {
        fields += ", " + name;
        params += ", :" + name;
    }
    const long long id = db_.atomically([&] {
        const long long idCom = settings_.nextNumber("IDCOM");
        settings_.setIndex("NRCOM", std::to_string(saved.nrCom + 1));
        values["IDCOM"] = idCom;
        db_.execute("INSERT INTO " + PrecomTable(db_) + " (" + fields + ") VALUES (" + params + ")",
                    values);
        return idCom;
    });
    clients_ = distinct("CLIENT");
    read(id);
    return id;
}

void PreOrders::update(long long idCom, const PreOrderEntry& entry) {
    Params values = FieldValues(entry.preOrder());
    std::string set;
    for (const auto& [name, value] : values) set += (set.empty() ? "" : ", ") + name + "=:" + name;
    values["IDCOM"] = idCom;
    db_.atomically([&] {
        db_.execute("UPDATE " + PrecomTable(db_) + " SET " + set + " WHERE IDCOM=:IDCOM", values);
    });
    clients_ = distinct("CLIENT");
    read(idCom);
}

Message PreOrders::DeleteQuestion() {
    return {"Stergere Precomanda", "Stergem precomanda selectata?", MessageKind::Confirmation};
}

void PreOrders::remove(long long idCom) {
    db_.atomically([&] {
        db_.execute("DELETE FROM " + PrecomTable(db_) + " WHERE IDCOM=:id", {{"id", idCom}});
    });
    clients_ = distinct("CLIENT");
    read(std::nullopt);
}

PreorderBuyer BuyerOf(const PreOrder& p) {
    return {p.client, p.rc, p.cf, p.adresa, p.banca, p.cont};
}

}  // namespace tvx::core

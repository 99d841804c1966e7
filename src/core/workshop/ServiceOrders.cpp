// Service orders: the lists of the dialog, opening an invoice's order and saving it.
#include "core/workshop/ServiceOrders.h"

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/Decimal.h"
#include "tables/ResultSet.h"

namespace tvx::core {

namespace {

std::string OrdersTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "Comenzi"));
}

bool AllDigits(const std::string& text) {
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

std::optional<FieldProblem> CheckText(const std::string& value, const char* field,
                                      const char* missing, size_t length, const char* tooLong) {
    if (value.empty()) return FieldProblem{field, missing};
    if (CharCount(value) > length) return FieldProblem{field, tooLong};
    return std::nullopt;
}

}  // namespace

OrderLists FillOrderLists(tables::Database& db) {
    const std::string file = TableFile(db, "Comenzi").string();
    OrderLists lists;
    lists.carTypes = FillDistinct(db, file, "", "AUTOTIP");
    lists.states = FillDistinct(db, file, "", "STARE");
    return lists;
}

ServiceOrder OpenServiceOrder(tables::Database& db, Settings& settings, long long idFacto,
                              tables::Date today) {
    ServiceOrder order;
    order.idFacto = idFacto;
    tables::ResultSet rows =
        db.query("SELECT * FROM " + OrdersTable(db) + " WHERE IDFACTO=:id", {{"id", idFacto}});
    rows.first();
    if (rows.eof()) {
        order.isNew = true;
        order.number = settings.nextIndex(kOrderCounter);
        order.date = today;
        return order;
    }
    order.isNew = false;
    order.number = rows.asNumber("NR").toString();
    // A row stored without a date shows today's, as the date box cannot stay blank.
    order.date = rows.asDate("DINDATA").value_or(today);
    order.carType = rows.asText("AUTOTIP");
    order.plate = rows.asText("NRCIRC");
    order.state = rows.asText("STARE");
    return order;
}

std::optional<FieldProblem> CheckServiceOrder(ServiceOrder& order) {
    order.number = CleanText(order.number);
    if (order.number.empty()) order.number = "0";
    order.carType = UpperText(CleanText(order.carType));
    order.plate = UpperText(CleanText(order.plate));
    order.state = UpperText(CleanText(order.state));

    if (!AllDigits(order.number)) {
        return FieldProblem{kOrderNumberField, "Numarul comenzii poate contine doar cifre!"};
    }
    if (order.number.size() > static_cast<size_t>(kOrderNumberDigits)) {
        return FieldProblem{kOrderNumberField, "Numarul comenzii are cel mult 8 cifre!"};
    }
    if (auto p = CheckText(order.carType, kCarTypeField, "Lipseste AUTO tip!", kCarTypeLength,
                           "AUTO tip are cel mult 32 de caractere!")) {
        return p;
    }
    if (auto p = CheckText(order.plate, kPlateField, "Lipseste Numar circulatie!", kPlateLength,
                           "Numar circulatie are cel mult 12 caractere!")) {
        return p;
    }
    return CheckText(order.state, kStateField, "Lipseste Starea tehnica!", kStateLength,
                     "Starea tehnica are cel mult 24 de caractere!");
}

std::optional<FieldProblem> SaveServiceOrder(tables::Database& db, Settings& settings,
                                             ServiceOrder& order) {
    if (auto problem = CheckServiceOrder(order)) return problem;
    const tables::Params values{
        {"id", order.idFacto},   {"nr", *tables::Decimal::parse(order.number)},
        {"data", order.date},    {"autotip", order.carType},
        {"nrcirc", order.plate}, {"stare", order.state}};
    if (order.isNew) {
        // The counter moves past the number the order carries only when its row is stored.
        db.atomically([&] {
            db.execute("INSERT INTO " + OrdersTable(db) +
                           " (IDFACTO, NR, DINDATA, AUTOTIP, NRCIRC, STARE)"
                           " VALUES (:id, :nr, :data, :autotip, :nrcirc, :stare)",
                       values);
            settings.nextIndex(kOrderCounter);
        });
        // Stored now: saving the same values again rewrites the row instead of adding one.
        order.isNew = false;
    } else {
        db.execute("UPDATE " + OrdersTable(db) +
                       " SET NR=:nr, DINDATA=:data, AUTOTIP=:autotip, NRCIRC=:nrcirc,"
                       " STARE=:stare WHERE IDFACTO=:id",
                   values);
    }
    return std::nullopt;
}

}  // namespace tvx::core

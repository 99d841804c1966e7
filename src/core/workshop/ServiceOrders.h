// Service orders of the workshop (core/workshop): the order attached to an outgoing invoice
// (table Comenzi, at most one per IDFACTO) with its number, date, car type, registration
// plate and technical state; the two drop-down lists offered for car type and state; opening
// an order for an invoice (a new one takes its number from the counter COMANDANR at once)
// and the checks and the statement of "Memoreaza". Orders are never deleted.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;

// The order as the dialog "Comanda Service" shows and saves it.
struct ServiceOrder {
    long long idFacto = 0;  // the invoice (FactOut.IDFACTO) the order belongs to
    std::string number;     // order number as typed: digits only, "0" when left empty
    tables::Date date;      // order date, printed on the estimate as the day the car left
    std::string carType, plate, state;
    bool isNew = true;  // no row existed when the order was opened: saving inserts one
};

// The dialog's lists: every distinct non-blank AUTOTIP and STARE of Comenzi, sorted.
struct OrderLists {
    std::vector<std::string> carTypes, states;
};

// Control names of the dialog's fields, which the checks point at.
constexpr const char* kOrderNumberField = "ComandaNr";
constexpr const char* kOrderDateField = "DinData";
constexpr const char* kCarTypeField = "AutoTip";
constexpr const char* kPlateField = "NrCirc";
constexpr const char* kStateField = "StareTehnica";

// Field limits: the widths of the Comenzi columns (NR is DECIMAL(8,0)).
constexpr int kOrderNumberDigits = 8;
constexpr int kCarTypeLength = 32;
constexpr int kPlateLength = 12;
constexpr int kStateLength = 24;

constexpr const char* kOrderCounter = "COMANDANR";

// The lists read from Comenzi. Engine errors propagate.
OrderLists FillOrderLists(tables::Database& db);

// The order of invoice `idFacto`: the stored row when there is one (no counter touched), else
// a new order numbered with NextIndex of COMANDANR (the counter advances now, even when the
// order is never saved), dated `today`, its texts empty. Engine errors propagate.
ServiceOrder OpenServiceOrder(tables::Database& db, Settings& settings, long long idFacto,
                              tables::Date today);

// "Memoreaza": an empty number becomes "0"; car type, plate and state are cleaned (CleanText)
// and put in upper case, and written back into `order`. Then the checks, field by field in
// the dialog's order: the number (digits only, at most 8), car type, plate and state (each
// present and within its column). The first failure is returned with its control and
// nothing is written. On a pass a new order is inserted and COMANDANR advanced once more
// (both or neither); an existing one is updated in place. Engine errors propagate.
std::optional<FieldProblem> SaveServiceOrder(tables::Database& db, Settings& settings,
                                             ServiceOrder& order);

// The cleaning and the checks of SaveServiceOrder alone, writing nothing to the tables.
std::optional<FieldProblem> CheckServiceOrder(ServiceOrder& order);

}  // namespace tvx::core

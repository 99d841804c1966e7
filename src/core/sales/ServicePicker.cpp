// The service picker: its name list and history of service lines, the unit and price an
// earlier line proposes, a catalog service taken over, the total and the checks of "Adauga".
#include "core/sales/ServicePicker.h"

#include <algorithm>

#include "core/common/Lists.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;

std::optional<Decimal> UnitPriceWithVat(const Decimal& pretOut, const Decimal& valTva,
                                        const Decimal& cant) {
    if (cant.isZero()) return std::nullopt;
    // Both sides on one scale, so that the integer quotient of their units is the quotient
    // of the values cut toward zero.
    const Decimal cents = (pretOut + valTva) * Decimal(100);
    const int scale = std::max(cents.scale(), cant.scale());
    const __int128 quotient = cents.rescaled(scale).units() / cant.rescaled(scale).units();
    return Decimal::fromUnits(quotient, 2);
}

ServicePicker::ServicePicker(tables::Database& db) : db_(db) {}

void ServicePicker::open(tables::Date today) {
    const std::filesystem::path lines = TableFile(db_, "ProdOut");
    names_ = FillDistinct(db_, lines.string(), "", "PRODUS");
    name.clear();
    unit = kDefaultUnit;
    quantity = "1";
    price = "0";
    total = "0";
    remark.clear();
    warranty = today;
    idCat = 0;
    result_.reset();
    history_ = db_.query("SELECT * FROM " + QuotedPath(lines) +
                         " WHERE IDFISA = -1 ORDER BY PRODUS, IDFACTO DESC");
}

void ServicePicker::close() {
    history_ = tables::ResultSet();
}

void ServicePicker::nameChosen() {
    if (SelectListItem(names_, name) < 0 || history_.empty()) return;
    history_.first();
    if (!history_.locate("PRODUS", tables::Value(name))) return;
    unit = history_.asText("UM");
    const auto unitPrice = UnitPriceWithVat(history_.asNumber("PRETOUT"),
                                            history_.asNumber("VALTVA"), history_.asNumber("CANT"));
    if (unitPrice) price = unitPrice->toPlainString();
    priceChanged();
}

void ServicePicker::priceChanged() {
    total = RoundHalfAway(TypedNumber(quantity) * TypedNumber(price), 2).toString();
}

void ServicePicker::catalogChosen(const CatalogService& service) {
    if (service.idCat == 0) return;
    idCat = service.idCat;
    name = service.product;
    unit = service.unit;
    quantity = "1";
    price = service.price.toPlainString();
    priceChanged();
}

std::optional<FieldProblem> ServicePicker::add() {
    result_.reset();
    if (Trimmed(name).empty()) return FieldProblem{kNameField, "Lipseste denumirea serviciului!"};
    if (Trimmed(unit).empty()) return FieldProblem{kUnitField, "Lipseste Unitatea de masura!"};
    const Decimal amount = TypedNumber(quantity);
    if (amount.isZero()) return FieldProblem{kQuantityField, "Lipseste Cantitatea!"};
    const Decimal unitPrice = TypedNumber(price);
    if (unitPrice.isZero()) return FieldProblem{kPriceField, "Lipseste Pretul cu TVA!"};

    ServicePick pick;
    pick.name = Trimmed(name);
    pick.unit = Trimmed(unit);
    pick.quantity = amount;
    pick.price = unitPrice;
    pick.remark = JoinLines(std::string_view(remark));
    pick.warranty = warranty;
    pick.idCat = idCat;
    result_ = pick;
    return std::nullopt;
}

}  // namespace tvx::core

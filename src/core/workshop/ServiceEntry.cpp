// Lists, defaults and checks of the service dialog.
#include "core/workshop/ServiceEntry.h"

#include <algorithm>

#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "tables/Value.h"

namespace tvx::core {

using tables::Decimal;

namespace {

std::string Cleaned(const std::string& text, int length) {
    return FirstChars(CleanText(text), static_cast<size_t>(length));
}

}  // namespace

std::optional<Decimal> ReadServicePrice(const std::string& text) {
    if (Trimmed(text).empty()) return Decimal(0);
    const auto price = ParseTypedNumber(text);
    if (!price) return std::nullopt;
    const Decimal plain = price->normalized();
    if (plain.scale() > ServiceEntry::kPriceDecimals) return std::nullopt;
    const Decimal kLimit(10000000LL);  // 10^kPriceDigits
    if ((plain.isNegative() ? -plain : plain) >= kLimit) return std::nullopt;
    return plain;
}

ServiceEntry::ServiceEntry(tables::Database& db) : db_(db) {}

void ServiceEntry::readLists() {
    const std::string file = TableFile(db_, "Catalog").string();
    groups_ = FillDistinct(db_, file, "", "GRUPA");
    subgroups_ = FillDistinct(db_, file, "", "SUBGRUPA");
    categories_ = FillDistinct(db_, file, "", "CATEG");
    products_ = FillDistinct(db_, file, "", "PRODUS");
    units_ = FillDistinct(db_, file, "", "UM");
}

void ServiceEntry::startNew() {
    readLists();
    adding_ = true;
    group.clear();
    if (!groups_.empty()) group = groups_.front();
    subgroup.clear();
    category.clear();
    product.clear();
    unit.clear();
    price = std::string("0");  // not a literal assignment: spurious -Wrestrict in GCC 12
    obs.clear();
}

void ServiceEntry::startEdit(const CatalogService& service) {
    readLists();
    adding_ = false;
    group = service.group;
    subgroup = service.subgroup;
    category = service.category;
    product = service.product;
    unit = service.unit;
    price = service.price.toString();
    obs = service.obs;
}

std::optional<FieldProblem> ServiceEntry::check() {
    group = Cleaned(group, kGroupLength);
    subgroup = Cleaned(subgroup, kSubgroupLength);
    category = Cleaned(category, kCategoryLength);
    product = Cleaned(product, kProductLength);
    unit = tables::toUpperAscii(Cleaned(unit, kUnitLength));
    obs = Cleaned(obs, kObsLength);

    if (group.empty()) return FieldProblem{kGroupField, "Lipseste grupa!"};
    if (subgroup.empty()) return FieldProblem{kSubgroupField, "Lipseste subgrupa!"};
    if (product.empty()) return FieldProblem{kProductField, "Lipseste Produsul!"};
    // The dialog's number box lets nothing else through; text set otherwise is refused.
    const auto value = ReadServicePrice(price);
    if (!value) return FieldProblem{kPriceField, "Pret incorect!"};
    price = value->toPlainString();
    return std::nullopt;
}

CatalogService ServiceEntry::service() const {
    CatalogService s;
    s.group = group;
    s.subgroup = subgroup;
    s.category = category;
    s.product = product;
    s.unit = unit;
    s.price = ReadServicePrice(price).value_or(Decimal(0));
    s.obs = obs;
    return s;
}

}  // namespace tvx::core

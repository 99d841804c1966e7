// What the outgoing invoice editor receives from the windows around it (core/sales): the
// line chosen in the product picker, the line composed in the service picker, the service
// chosen in the catalog, and the buyer of a pre-order a new invoice starts from. Plain values,
// so the editor's arithmetic is tested without any window.
#pragma once

#include <optional>
#include <string>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {

// A lot taken from the document's stock ("&Adauga" of the product picker).
struct ProductPick {
    long long idCap = 0;       // the stock card (Stoc.IDCAP)
    tables::Decimal quantity;  // may be negative: goods taken back
    tables::Decimal price;     // the lot's sale price with VAT (Stoc.PRETOUT)
    std::optional<tables::Date> warranty;
    std::string remark;   // "Observatii", its lines joined by JoinLines
    std::string section;  // "Sectia", cleaned by CleanText (car-service activity)
};

// A service line as the service picker composed it ("Adauga").
struct ServicePick {
    std::string name, unit;
    tables::Decimal quantity;
    tables::Decimal price;  // unit price with VAT
    std::string remark;     // "Observatii", its lines joined by JoinLines
    std::optional<tables::Date> warranty;
    long long idCat = 0;  // the catalog service it came from, 0 when none
};

// A row of the service catalog (table Catalog).
struct CatalogService {
    long long idCat = 0;
    std::string group, subgroup, category, product, unit;
    tables::Decimal price;  // VALOUT: price with VAT
    std::string obs;
};

// The buyer a pre-order hands to a new invoice.
struct PreorderBuyer {
    std::string name, regCom, cui, address, bank, iban;
};

}  // namespace tvx::core

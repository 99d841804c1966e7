// What the stock exit and transfer dialog works on and hands back (core/stock): the current
// card as the product card shows it, and the exit document the user described. The product
// card posts the movements from it; the dialog only describes them.
#pragma once

#include <string>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {

// The card the exit or transfer starts from, with the stock texts of the product card.
struct ExitCard {
    long long idCap = 0;
    std::string location;  // GESTIUNE of the card
    std::string product;
    std::string unit;
    tables::Decimal salePrice;   // PRETOUT, the "Pret unitar" of the dialog
    tables::Decimal stock;       // STOC
    tables::Decimal stockValue;  // PRETOUT x STOC, four decimals
};

// A saved exit or transfer: the document (name, number, date), the quantity leaving and its
// value (quantity x PRETOUT, four decimals), and for a transfer the destination location.
struct ExitDocument {
    std::string docJus;
    long long nrDoc = 0;
    tables::Date date;
    tables::Decimal quantity;
    tables::Decimal value;
    std::string destination;  // empty for an exit
};

}  // namespace tvx::core

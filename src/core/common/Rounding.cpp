// Half-away-from-zero rounding of amounts (core/common), on the engine's exact decimals.
#include "core/common/Rounding.h"

namespace tvx::core {

using tables::Decimal;
using tables::Rounding;

// The engine's HalfAway mode moves a quotient away from zero when the dropped remainder is
// at least half a unit, which is exactly "add or subtract 0.5, drop the fraction".
Decimal RoundHalfAway(const Decimal& x, int decimals) {
    return x.rounded(decimals, Rounding::HalfAway);
}

Decimal RoundHalfAway(const Decimal& x) {
    return RoundHalfAway(x, 0);
}

Decimal RoundAmount(const Decimal& amount) {
    return RoundHalfAway(amount, 2);
}

}  // namespace tvx::core

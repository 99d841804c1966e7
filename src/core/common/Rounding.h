// The one rounding rule of amounts (core/common): halves go away from zero. A positive x
// has 0.5 added, a zero or negative x has 0.5 subtracted, and the fraction is dropped; an
// amount is rounded to cents by doing that to the amount times 100 and dividing by 100, so
// 2.345 gives 2.35 and -2.345 gives -2.35. Exact decimals throughout.
#pragma once

#include "tables/Decimal.h"

namespace tvx::core {

// x rounded half away from zero to a whole number (scale 0).
tables::Decimal RoundHalfAway(const tables::Decimal& x);
// x rounded half away from zero to `decimals` decimals (scale `decimals`, 0..18).
tables::Decimal RoundHalfAway(const tables::Decimal& x, int decimals);
// An amount rounded to cents (scale 2): RoundHalfAway(amount x 100) / 100.
tables::Decimal RoundAmount(const tables::Decimal& amount);

}  // namespace tvx::core

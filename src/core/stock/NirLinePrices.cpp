// The price arithmetic of a goods received note line (core/stock): rounding to cents, the
// four-decimal carry of intermediate products, the live recomputation of the line dialog and
// the stored prices of a line.
#include "core/stock/NirLinePrices.h"

#include "core/common/Rounding.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::Decimal;

namespace {

__int128 Pow10(int n) {
    __int128 p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Not globals: other translation units' static initialisers may compute prices.
Decimal Hundred() {
    return Decimal(100);
}
Decimal One() {
    return Decimal(1);
}

}  // namespace

Decimal RoundCents(const Decimal& x) {
    return RoundHalfAway(x, 2);
}

Decimal CutCents(const Decimal& x) {
    return x.rescaled(2, tables::Rounding::Truncate);
}

Decimal Carry4(const Decimal& x) {
    return RoundHalfAway(x, 4);
}

Decimal Divide4(const Decimal& a, const Decimal& b) {
    if (b.isZero()) throw tables::EngineError("Division by zero in a line price");
    const int shift = b.scale() + 4 - a.scale();
    if (shift > 18) return Carry4(a / b);  // beyond exact reach: the engine's quotient
    __int128 num = a.units();
    __int128 den = b.units();
    if (shift >= 0)
        num *= Pow10(shift);
    else
        den *= Pow10(-shift);
    if (den < 0) {
        num = -num;
        den = -den;
    }
    __int128 q = num / den;
    const __int128 rem = num % den;
    if (2 * (rem < 0 ? -rem : rem) >= den) q += num < 0 ? -1 : 1;
    return Decimal::fromUnits(q, 4);
}

NirVat::NirVat(const Decimal& vatPercent, bool vatPayer)
    : r(Divide4(vatPercent, Hundred())), rS(vatPayer ? r : Decimal(0).rescaled(4)) {}

NirLineAmounts ComputeLineAmounts(const NirVat& vat, const Decimal& q, const Decimal& p,
                                  const Decimal& markup) {
    NirLineAmounts out;
    const Decimal withVat = Carry4(p * (One() + vat.r));
    if (vat.payerRate()) {
        out.vf = Carry4(q * p);
        out.tf = RoundCents(Carry4(out.vf * vat.r));
    } else {
        out.vf = RoundCents(Carry4(withVat * q));
        out.tf = Decimal(0).rescaled(2);
    }
    out.pt = RoundCents(withVat);
    out.tt = out.vf + out.tf;
    out.s = RoundCents(Carry4((Divide4(markup, Hundred()) + One()) * out.pt));
    return out;
}

Decimal SaleFromMarkup(const NirVat& vat, const Decimal& p, const Decimal& markup) {
    const Decimal factor = Divide4(markup, Hundred()) + One();
    return CutCents(Carry4(Carry4(factor * p) * (One() + vat.r)));
}

bool MarkupFromSale(const Decimal& s, const Decimal& pt, Decimal& markup) {
    if (pt.isZero()) return false;
    markup = CutCents(Divide4((s - pt) * Hundred(), pt));
    return true;
}

NirStoredPrices ComputeStoredPrices(const NirVat& vat, const Decimal& q, const Decimal& p,
                                    const Decimal& pt, const Decimal& vf, const Decimal& markup,
                                    const Decimal& s, bool added) {
    NirStoredPrices out;
    out.pretu = vat.payerRate() ? p : pt;
    if (!markup.isZero()) {
        out.preta = RoundCents(Divide4(s, One() + vat.rS));
        out.vala = RoundCents(Carry4(out.preta * q));
    } else {
        out.preta = RoundCents(out.pretu);
        out.vala = added ? Carry4(out.pretu * q) : RoundCents(vf);
    }
    out.valat = Carry4(s * q);
    return out;
}

}  // namespace tvx::core

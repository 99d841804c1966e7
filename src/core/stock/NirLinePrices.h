// The price arithmetic of a goods received note line (core/stock): what the line dialog
// computes live from the quantity, the supplier price, the note's VAT rate and the mark-up,
// and the values a saved line stores. Amounts are exact decimals: intermediate products are
// carried with four decimals (rounded half away from zero), amounts are rounded or cut to
// cents as each rule says.
#pragma once

#include "tables/Decimal.h"

namespace tvx::core {

// x rounded half away from zero to cents (scale 2).
tables::Decimal RoundCents(const tables::Decimal& x);
// x cut toward zero to cents (scale 2).
tables::Decimal CutCents(const tables::Decimal& x);
// x carried in fixed point with four decimals (rounded half away from zero, scale 4).
tables::Decimal Carry4(const tables::Decimal& x);
// a / b to four decimals, rounded half away from zero from the exact quotient. b = 0 throws
// EngineError.
tables::Decimal Divide4(const tables::Decimal& a, const tables::Decimal& b);

// The note's VAT rate as the line computes with it: r = TVAPROC / 100, and rS = r for a
// company that is a VAT payer, 0 otherwise.
struct NirVat {
    NirVat(const tables::Decimal& vatPercent, bool vatPayer);
    tables::Decimal r, rS;
    bool payerRate() const { return rS > tables::Decimal(0); }
};

// The fields the line dialog computes from Q, P and A.
struct NirLineAmounts {
    tables::Decimal vf, tf, pt, tt, s;
};

// The dialog's recomputation after Q or P changed (mark-up A kept): VF, TF, PT, TT and S.
NirLineAmounts ComputeLineAmounts(const NirVat& vat, const tables::Decimal& q,
                                  const tables::Decimal& p, const tables::Decimal& markup);
// Sale price from a typed mark-up: CutCents((A / 100 + 1) x P x (1 + r)).
tables::Decimal SaleFromMarkup(const NirVat& vat, const tables::Decimal& p,
                               const tables::Decimal& markup);
// Mark-up from a typed sale price: CutCents of (S - PT) / PT x 100 to four decimals, into
// `markup`. Returns false and leaves `markup` as it is when PT is 0.
bool MarkupFromSale(const tables::Decimal& s, const tables::Decimal& pt, tables::Decimal& markup);

// The values a saved line stores beside what the dialog shows.
struct NirStoredPrices {
    tables::Decimal pretu, preta, vala, valat;
};
// PRETU, PRETA, VALA and VALAT of a line. `added`: an added line stores VALA = PRETU x Q
// when A is 0, a modified one RoundCents(VF).
NirStoredPrices ComputeStoredPrices(const NirVat& vat, const tables::Decimal& q,
                                    const tables::Decimal& p, const tables::Decimal& pt,
                                    const tables::Decimal& vf, const tables::Decimal& markup,
                                    const tables::Decimal& s, bool added);

}  // namespace tvx::core

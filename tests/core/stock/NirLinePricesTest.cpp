// The price arithmetic of a goods received note line, worked by hand from the rules: VAT
// payer and not, sale price from mark-up and mark-up from sale price, the four-decimal carry,
// and the values a line stores.
#include "StockTestSupport.h"
#include "core/stock/NirLinePrices.h"
#include "tables/EngineError.h"

namespace tvx::core::stocktest {
namespace {

NirVat Payer() {
    return NirVat(D("19"), true);
}
NirVat NonPayer() {
    return NirVat(D("19"), false);
}

TEST(NirLinePricesTest, RoundingAndCuttingToCents) {
    EXPECT_EQ(RoundCents(D("2.345")).toString(), "2.35");
    EXPECT_EQ(RoundCents(D("-2.345")).toString(), "-2.35");
    EXPECT_EQ(RoundCents(D("2.3449")).toString(), "2.34");
    EXPECT_EQ(CutCents(D("2.349")).toString(), "2.34");
    EXPECT_EQ(CutCents(D("-2.349")).toString(), "-2.34");
    EXPECT_EQ(Carry4(D("0.00004999")).toString(), "0.0000");
    EXPECT_EQ(Carry4(D("-0.00005")).toString(), "-0.0001");
}

TEST(NirLinePricesTest, QuotientsToFourDecimalsFromTheExactValue) {
    EXPECT_EQ(Divide4(D("1"), D("3")).toString(), "0.3333");
    EXPECT_EQ(Divide4(D("2"), D("3")).toString(), "0.6667");
    EXPECT_EQ(Divide4(D("-2"), D("3")).toString(), "-0.6667");
    EXPECT_EQ(Divide4(D("14.88"), D("1.19")).toString(), "12.5042");
    EXPECT_EQ(Divide4(D("0.00005"), D("-1")).toString(), "-0.0001");
    EXPECT_THROW(Divide4(D("1"), D("0.00")), tables::EngineError);
    EXPECT_EQ(Payer().r, D("0.19"));
    EXPECT_TRUE(NonPayer().rS.isZero());
    EXPECT_FALSE(NirVat(D("0"), true).payerRate());
}

TEST(NirLinePricesTest, VatPayerLine) {
    const NirLineAmounts x = ComputeLineAmounts(Payer(), D("3"), D("10.00"), D("25"));
    EXPECT_EQ(x.vf.toString(), "30.0000");
    EXPECT_EQ(x.tf, D("5.70"));
    EXPECT_EQ(x.pt, D("11.90"));
    EXPECT_EQ(x.tt, D("35.70"));
    EXPECT_EQ(x.s, D("14.88"));  // 1.25 x 11.90 = 14.875, rounded up
    // Typing A = 25 again computes from P directly and cuts.
    EXPECT_EQ(SaleFromMarkup(Payer(), D("10.00"), D("25")), D("14.87"));
    const NirStoredPrices st =
        ComputeStoredPrices(Payer(), D("3"), D("10.00"), x.pt, x.vf, D("25"), x.s, true);
    EXPECT_EQ(st.pretu, D("10.00"));
    EXPECT_EQ(st.preta, D("12.50"));  // 14.88 / 1.19 = 12.5042
    EXPECT_EQ(st.vala, D("37.50"));
    EXPECT_EQ(st.valat, D("44.64"));
}

TEST(NirLinePricesTest, LineOfACompanyThatIsNoVatPayer) {
    const NirLineAmounts x = ComputeLineAmounts(NonPayer(), D("3"), D("10.00"), D("0"));
    EXPECT_TRUE(x.tf.isZero());
    EXPECT_EQ(x.vf, D("35.70"));
    EXPECT_EQ(x.pt, D("11.90"));
    EXPECT_EQ(x.tt, D("35.70"));
    EXPECT_EQ(x.s, D("11.90"));
    for (bool added : {true, false}) {
        const NirStoredPrices st =
            ComputeStoredPrices(NonPayer(), D("3"), D("10.00"), x.pt, x.vf, D("0"), x.s, added);
        EXPECT_EQ(st.pretu, D("11.90"));
        EXPECT_EQ(st.preta, D("11.90"));
        EXPECT_EQ(st.vala, D("35.70"));
    }
    // With a mark-up the price with mark-up is the sale price itself (rS = 0).
    const NirLineAmounts m = ComputeLineAmounts(NonPayer(), D("3"), D("10.00"), D("20"));
    EXPECT_EQ(m.s, D("14.28"));  // 1.20 x 11.90
    const NirStoredPrices st =
        ComputeStoredPrices(NonPayer(), D("3"), D("10.00"), m.pt, m.vf, D("20"), m.s, true);
    EXPECT_EQ(st.preta, D("14.28"));
    EXPECT_EQ(st.vala, D("42.84"));
    EXPECT_EQ(st.valat, D("42.84"));
}

TEST(NirLinePricesTest, ProductsAreCarriedWithFourDecimals) {
    // 0.01 x 1.19 x 0.42 = 0.004998: carried to 0.0050 it rounds to a cent, not to zero.
    const NirLineAmounts x = ComputeLineAmounts(NonPayer(), D("0.42"), D("0.01"), D("0"));
    EXPECT_EQ(x.vf, D("0.01"));
    // Payer: VF = 7 x 0.05 = 0.35, TF = 0.0665 -> 0.07, PT = 0.0595 -> 0.06.
    const NirLineAmounts y = ComputeLineAmounts(Payer(), D("7"), D("0.05"), D("0"));
    EXPECT_EQ(y.vf, D("0.35"));
    EXPECT_EQ(y.tf, D("0.07"));
    EXPECT_EQ(y.pt, D("0.06"));
    EXPECT_EQ(y.tt, D("0.42"));
    EXPECT_EQ(y.s, D("0.06"));
}

TEST(NirLinePricesTest, ModifiedLineWithoutMarkupStoresTheRoundedValue) {
    // Q = 0.33, P = 1.15 (payer): VF = 0.3795; an added line stores PRETU x Q, a modified one
    // RoundCents(VF).
    const NirLineAmounts x = ComputeLineAmounts(Payer(), D("0.33"), D("1.15"), D("0"));
    EXPECT_EQ(x.vf.toString(), "0.3795");
    EXPECT_EQ(ComputeStoredPrices(Payer(), D("0.33"), D("1.15"), x.pt, x.vf, D("0"), x.s, true)
                  .vala.toString(),
              "0.3795");
    EXPECT_EQ(ComputeStoredPrices(Payer(), D("0.33"), D("1.15"), x.pt, x.vf, D("0"), x.s, false)
                  .vala.toString(),
              "0.38");
}

TEST(NirLinePricesTest, MarkupFromSalePrice) {
    Decimal a = D("99");
    ASSERT_TRUE(MarkupFromSale(D("14.88"), D("11.90"), a));
    EXPECT_EQ(a, D("25.04"));  // 2.98 / 11.90 x 100 = 25.0420...
    ASSERT_TRUE(MarkupFromSale(D("10"), D("11.90"), a));
    EXPECT_EQ(a, D("-15.96"));  // -15.9664, cut toward zero
    a = D("7");
    EXPECT_FALSE(MarkupFromSale(D("10"), D("0"), a));
    EXPECT_EQ(a, D("7"));
}

}  // namespace
}  // namespace tvx::core::stocktest

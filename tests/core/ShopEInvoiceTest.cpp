// The e-invoices of a generated shop: every invoice tvxgen writes, for a VAT payer and for a
// company that is not one, goes through the e-invoice routine of the command line without a
// refusal, and one of each passes the national validation toolkit.
#include <gtest/gtest.h>

#include "CoreTestSupport.h"
#include "ShopGenerator.h"
#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "einvoice/EInvoiceTestSupport.h"
#include "tables/Database.h"

namespace tvx::gen {
namespace {

using tables::Decimal;
using testsupport::ScratchDir;

class GeneratedShopEInvoices : public ::testing::TestWithParam<bool> {};

TEST_P(GeneratedShopEInvoices, EveryInvoiceIsWrittenAndASampleIsValid) {
    const bool vatPayer = GetParam();
    ScratchDir dir;
    const auto data = dir.path() / "Data";
    GeneratorOptions options;
    options.scale = *Decimal::parse("0.002");
    options.vatPayer = vatPayer;
    generateShop(data, options);
    tables::Database db(data);
    const core::Settings settings(data / core::kSettingsFileName, &db);
    core::CompanyProfile profile;
    profile.load(settings);
    ASSERT_EQ(profile.vatPayer(), vatPayer);

    // The invoices name the company of the profile, and a non-payer's carry no VAT.
    const std::string others = "SELECT COUNT(*) FROM FactOut WHERE CUI<>'" + profile.codFisc + "'";
    EXPECT_EQ(db.query(others).at(0, 0).number(), Decimal(0));
    if (!vatPayer)
        EXPECT_EQ(db.query("SELECT COUNT(*) FROM FactOut WHERE TVATOT<>0").at(0, 0).number(),
                  Decimal(0));

    // The validator gets an invoice to a Bucharest buyer (county and sector).
    long long sampleId = 0;

    const tables::ResultSet ids = db.query("SELECT IDFACTO, JUD2 FROM FactOut ORDER BY IDFACTO");
    ASSERT_GT(ids.rowCount(), 50u);
    for (size_t r = 0; r < ids.rowCount(); ++r) {
        const long long id = ids.at(r, 0).number().toLongLong();
        if (!sampleId && ids.at(r, 1).text() == "MUNICIPIUL BUCURESTI") sampleId = id;
        const auto file = dir.path() / (std::to_string(id) + ".xml");
        const auto refusal = core::ExportEInvoice(db, settings, id, file);
        ASSERT_FALSE(refusal.has_value()) << refusal->text;
        ASSERT_TRUE(std::filesystem::exists(file)) << id;
    }

    ASSERT_NE(sampleId, 0) << "no invoice to a Bucharest buyer";
    if (const std::string missing = core::einvoicetest::ValidatorMissing(); !missing.empty())
        GTEST_SKIP() << "validation toolkit not run: " << missing;
    const auto run = core::einvoicetest::Validate(dir.path() / (std::to_string(sampleId) + ".xml"));
    EXPECT_EQ(run.status, 0) << run.output;
}

INSTANTIATE_TEST_SUITE_P(PayerAndNonPayer, GeneratedShopEInvoices, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "VatPayer" : "NonPayer"; });

}  // namespace
}  // namespace tvx::gen

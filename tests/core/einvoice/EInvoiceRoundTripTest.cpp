// The round trip through the command line: invoices of one generated shop written by
// `tvxcli einvoice` and imported into another shop by `tvxcli import-einvoice` give back the
// same quantities, prices and totals; the command's failures (an unknown location, the same
// invoice again, a missing file) print "error: ", exit non-zero and write nothing.
#include <gtest/gtest.h>

#include "EInvoiceTestSupport.h"
#include "ShopGenerator.h"
#include "core/admin/Locations.h"

namespace tvx::core::einvoicetest {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

std::string Quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

CommandRun Tvxcli(const std::string& args) {
    return RunCommand(std::string("\"") + TVX_TVXCLI + "\" " + args);
}

TEST(EInvoiceRoundTrip, InvoicesOfOneShopImportIntoAnother) {
    ScratchDir dir;
    const fs::path seller = dir.path() / "A" / "Data";
    const fs::path buyer = dir.path() / "B" / "Data";
    gen::GeneratorOptions options;
    options.scale = *Decimal::parse("0.002");
    gen::generateShop(seller, options);

    // The buyer: empty tables, a VAT payer, the seller's unit codes and one location.
    fs::create_directories(buyer);
    {
        tables::Database db(buyer);
        CreateMissingTables(db);
        Settings settings(buyer / "Tvx2010.set", &db);
        settings.writeSetting("SETARI", "CodFisc", "RO26789456");
        const Settings sellerSettings(seller / "Tvx2010.set");
        for (const auto& [key, value] : sellerSettings.readKeys("UMS"))
            settings.writeSetting("UMS", key, value);
        Locations locations(buyer);
        locations.setNames({"MAGAZIN"});
        locations.save();
    }

    std::vector<long long> ids;
    {
        tables::Database db(seller);
        tables::ResultSet rs = db.query("SELECT IDFACTO FROM FactOut ORDER BY IDFACTO");
        for (size_t r = 0; r < rs.rowCount() && ids.size() < 4; ++r)
            ids.push_back(rs.at(r, 0).number().toLongLong());
    }
    ASSERT_EQ(ids.size(), 4u);
    for (long long id : ids) {
        const fs::path file = dir.path() / (std::to_string(id) + ".xml");
        const CommandRun written =
            Tvxcli("einvoice " + Quoted(seller) + " " + std::to_string(id) + " " + Quoted(file));
        ASSERT_EQ(written.status, 0) << written.output;
        const CommandRun read =
            Tvxcli("import-einvoice " + Quoted(buyer) + " " + Quoted(file) + " MAGAZIN");
        ASSERT_EQ(read.status, 0) << read.output;
        EXPECT_NE(read.output.find("imported "), std::string::npos) << read.output;
    }

    auto a = std::make_unique<tables::Database>(seller);
    auto b = std::make_unique<tables::Database>(buyer);
    for (long long id : ids) {
        SCOPED_TRACE(id);
        tables::ResultSet out = a->query("SELECT * FROM FactOut WHERE IDFACTO=:id", {{"id", id}});
        const std::string number = out.asText("SERIA") + out.asText("NR");
        tables::ResultSet in = b->query("SELECT * FROM FactIn WHERE SERIANR=:nr", {{"nr", number}});
        ASSERT_EQ(in.rowCount(), 1u) << number;
        EXPECT_EQ(in.asNumber("VALOARE"), out.asNumber("VALTOT"));
        EXPECT_EQ(in.asNumber("TOTAL"), out.asNumber("TOTAL"));
        EXPECT_EQ(in.asDate("DATAIN"), out.asDate("DATAOUT"));
        EXPECT_EQ(in.asNumber("TVAPROC"), out.asNumber("TVAPROC"));

        tables::ResultSet sold =
            a->query("SELECT * FROM ProdOut WHERE IDFACTO=:id ORDER BY NRCRT", {{"id", id}});
        tables::ResultSet got = b->query(
            "SELECT P.* FROM ProdNIR P, CapNIR N WHERE P.IDNIR=N.IDNIR AND N.IDFACT=:f "
            "ORDER BY P.IDPROD",
            {{"f", in.asNumber("IDFACT")}});
        ASSERT_EQ(got.rowCount(), sold.rowCount());
        for (sold.first(), got.first(); !sold.eof(); sold.next(), got.next()) {
            EXPECT_EQ(got.asNumber("CANTF"), sold.asNumber("CANT"));
            EXPECT_EQ(got.asNumber("PRETU"), sold.asNumber("PRETOUT"));
            EXPECT_EQ(got.asNumber("VALOARE"), sold.asNumber("VALOUT"));
        }
    }

    // Failures: nothing written, "error: " and a non-zero status.
    const fs::path first = dir.path() / (std::to_string(ids[0]) + ".xml");
    const long long before = b->query("SELECT COUNT(*) FROM FactIn").at(0, 0).number().toLongLong();
    struct Failure {
        std::string args, reason;
    };
    const Failure failures[] = {
        {Quoted(buyer) + " " + Quoted(first) + " MAGAZIN", "este deja inregistrata"},
        {Quoted(buyer) + " " + Quoted(first) + " DEPOZIT", "\"DEPOZIT\" is not in"},
        {Quoted(buyer) + " " + Quoted(dir.path() / "none.xml"), "nu poate fi citit"},
        {Quoted(buyer), "usage"},
    };
    a.reset();  // the data directories are the command's now
    b.reset();
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.args);
        const CommandRun run = Tvxcli("import-einvoice " + f.args);
        EXPECT_NE(run.status, 0);
        EXPECT_EQ(run.output.rfind("error: ", 0), 0u) << run.output;
        EXPECT_NE(run.output.find(f.reason), std::string::npos) << run.output;
    }
    tables::Database again(buyer);
    EXPECT_EQ(again.query("SELECT COUNT(*) FROM FactIn").at(0, 0).number().toLongLong(), before);
}

}  // namespace
}  // namespace tvx::core::einvoicetest

// Tests of the shop generator: a small data directory is generated once and its
// consistency is checked with SQL through the engine, the way the program reads it --
// identifiers, the link of every document line to its stock movement and card, the stock
// and reference counts of the cards, the totals and the amounts left to pay -- plus the
// realism of the data, repeatability by seed and the refusal of bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "CoreTestSupport.h"
#include "ShopGenerator.h"
#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/Checks.h"
#include "core/common/Settings.h"
#include "core/common/UnitChoice.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::gen {
namespace {

using tables::Decimal;
using tables::ResultSet;
using tables::Value;
using testsupport::ScratchDir;

Decimal num(const Value& v) {
    return v.isNull() ? Decimal(0) : v.number();
}

class GeneratedShop : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new ScratchDir();
        GeneratorOptions options;
        options.scale = *Decimal::parse("0.01");
        options.seed = 7;
        stats_ = new GeneratorStats(generateShop(dir_->path() / "Data", options));
        db_ = new tables::Database(dir_->path() / "Data");
    }
    static void TearDownTestSuite() {
        delete db_;
        delete stats_;
        delete dir_;
    }
    static ResultSet q(const std::string& sql) { return db_->query(sql); }
    static long long count(const std::string& sql) { return q(sql).at(0, 0).number().toLongLong(); }

    static ScratchDir* dir_;
    static GeneratorStats* stats_;
    static tables::Database* db_;
};

ScratchDir* GeneratedShop::dir_ = nullptr;
GeneratorStats* GeneratedShop::stats_ = nullptr;
tables::Database* GeneratedShop::db_ = nullptr;

TEST_F(GeneratedShop, HasTheVolumesOfItsScale) {
    EXPECT_EQ(count("SELECT COUNT(*) FROM CapNIR"), 120);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdNIR"), 1500);
    EXPECT_EQ(count("SELECT COUNT(*) FROM FactIn"), 150);
    EXPECT_EQ(count("SELECT COUNT(*) FROM FactOut"), 500);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdOut"), 2500);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ChitOut"), 600);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ChitIn"), 200);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fise"), 4000);
    const long long cards = count("SELECT COUNT(*) FROM CapFise");
    EXPECT_GE(cards, 540);
    EXPECT_LE(cards, 660);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fise"), static_cast<long long>(stats_->rowsOf("Fise")));
    EXPECT_EQ(count("SELECT COUNT(DISTINCT GESTIUNE) FROM CapFise"), 5);
    std::ifstream list(dir_->path() / "Data" / "GesLista.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(list)), {});
    EXPECT_EQ(text, "DEPOZIT\r\nMAGAZIN CENTRAL\r\nMAGAZIN NORD\r\nSERVICE AUTO\r\nSHOWROOM\r\n");
}

TEST_F(GeneratedShop, IdentifiersIncreaseInFileOrder) {
    const std::vector<std::pair<std::string, std::string>> ids = {
        {"FactIn", "IDFACT"}, {"CapNIR", "IDNIR"},    {"ProdNIR", "IDPROD"}, {"CapFise", "IDCAP"},
        {"Fise", "IDFISA"},   {"FactOut", "IDFACTO"}, {"ChitOut", "IDCHIT"}, {"ChitIn", "IDCHIT"},
        {"Catalog", "IDCAT"}, {"Conturi", "IDCONT"},  {"Timp", "IDTIMP"},    {"Precom", "IDCOM"}};
    for (const auto& [table, field] : ids) {
        ResultSet rs = q("SELECT " + field + " FROM " + table);
        ASSERT_GT(rs.rowCount(), 0u) << table;
        for (size_t r = 1; r < rs.rowCount(); ++r)
            ASSERT_LT(rs.at(r - 1, 0).number(), rs.at(r, 0).number()) << table << " row " << r;
    }
    // Receipts and payments share one counter: together they use 1..N once each.
    std::set<long long> shared;
    for (const char* table : {"ChitIn", "ChitOut"}) {
        ResultSet rs = q(std::string("SELECT IDCHIT FROM ") + table);
        for (size_t r = 0; r < rs.rowCount(); ++r)
            EXPECT_TRUE(shared.insert(rs.at(r, 0).number().toLongLong()).second) << table;
    }
    ASSERT_EQ(shared.size(), 800u);
    EXPECT_EQ(*shared.begin(), 1);
    EXPECT_EQ(*shared.rbegin(), 800);
}

TEST_F(GeneratedShop, EveryNoteLineHasItsEntryMovementAndCard) {
    const long long lines = count("SELECT COUNT(*) FROM ProdNIR");
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdNIR P JOIN Fise F ON F.IDFISA = P.IDFISA "
                    "JOIN CapNIR N ON N.IDNIR = P.IDNIR "
                    "WHERE F.IDCAP = P.IDCAP AND F.TIP = 'INTRARE' AND F.DOCJUS = 'N.I.R.' "
                    "AND F.NRDOC = N.NRNIR AND F.DINDATA = N.DATANIR "
                    "AND F.CANTIN - F.CANTOUT = P.CANTR"),
              lines);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdNIR P JOIN CapFise C ON C.IDCAP = P.IDCAP "
                    "WHERE C.GESTIUNE = P.GESTIUNE AND C.PRODUS = P.PRODUS AND C.UM = P.UM "
                    "AND C.PRETOUT = P.PRETAT"),
              lines);
    EXPECT_EQ(count("SELECT COUNT(*) FROM CapNIR N JOIN FactIn F ON F.IDFACT = N.IDFACT "
                    "WHERE F.SERIANR = N.SERIENR AND F.DATAIN = N.DATAFACT"),
              count("SELECT COUNT(*) FROM CapNIR"));
}

TEST_F(GeneratedShop, EveryGoodsSaleLineLeavesACardOfItsInvoicesLocation) {
    const long long goods = count("SELECT COUNT(*) FROM ProdOut WHERE IDCAP > 0");
    EXPECT_GT(goods, 2000);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdOut O JOIN FactOut F ON F.IDFACTO = O.IDFACTO "
                    "JOIN Fise M ON M.IDFISA = O.IDFISA JOIN CapFise C ON C.IDCAP = O.IDCAP "
                    "WHERE O.IDCAP > 0 AND M.IDCAP = O.IDCAP AND C.GESTIUNE = F.GESTIUNE "
                    "AND M.TIP = 'VANZARE' AND M.DOCJUS = 'FACTURA ' + F.SERIA "
                    "AND M.NRDOC = F.NR AND M.DINDATA = F.DATAOUT "
                    "AND M.CANTOUT - M.CANTIN = O.CANT"),
              goods);
    // Service lines touch no stock and name their catalog entry.
    const long long services = count("SELECT COUNT(*) FROM ProdOut WHERE IDCAP = -1");
    EXPECT_GT(services, 50);
    EXPECT_EQ(count("SELECT COUNT(*) FROM ProdOut O JOIN Catalog K ON K.IDCAT = O.IDCAT "
                    "WHERE O.IDCAP = -1 AND O.IDFISA = -1 AND K.PRODUS = O.PRODUS"),
              services);
    EXPECT_EQ(goods + services, count("SELECT COUNT(*) FROM ProdOut"));
}

TEST_F(GeneratedShop, CardStockAndCountFollowTheirMovements) {
    ResultSet rs =
        q("SELECT C.IDCAP, C.STOC, C.NRREC, SUM(F.CANTIN - F.CANTOUT) AS MOVED, COUNT(*) AS N "
          "FROM CapFise C JOIN Fise F ON F.IDCAP = C.IDCAP GROUP BY C.IDCAP, C.STOC, C.NRREC");
    EXPECT_EQ(static_cast<long long>(rs.rowCount()), count("SELECT COUNT(*) FROM CapFise"));
    for (size_t r = 0; r < rs.rowCount(); ++r) {
        EXPECT_EQ(rs.at(r, 1).number(), rs.at(r, 3).number()) << "STOC of card " << r;
        EXPECT_EQ(rs.at(r, 2).number(), rs.at(r, 4).number()) << "NRREC of card " << r;
    }
    // Movements are one-sided and never negative.
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fise WHERE CANTIN < 0 OR CANTOUT < 0 OR VALIN < 0 "
                    "OR VALOUT < 0 OR (CANTIN > 0 AND CANTOUT > 0)"),
              0);
    EXPECT_GT(count("SELECT COUNT(*) FROM Fise WHERE TIP = 'TRANSFER'"), 0);
    EXPECT_GT(count("SELECT COUNT(*) FROM Fise WHERE TIP = 'IESIRE' AND DOCJUS LIKE 'BON%'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fise F LEFT JOIN CapFise C ON C.IDCAP = F.IDCAP "
                    "WHERE C.IDCAP IS NULL"),
              0);
}

TEST_F(GeneratedShop, DocumentTotalsAndAmountsLeftToPayAddUp) {
    ResultSet inv =
        q("SELECT F.TOTAL, F.VALTOT, F.TVATOT, F.REST, "
          "(SELECT SUM(O.VALOUT) FROM ProdOut O WHERE O.IDFACTO = F.IDFACTO), "
          "(SELECT SUM(O.VALTVA) FROM ProdOut O WHERE O.IDFACTO = F.IDFACTO), "
          "(SELECT SUM(R.SUMA) FROM ChitOut R WHERE R.IDFACTO = F.IDFACTO) FROM FactOut F");
    int unpaid = 0, settled = 0;
    for (size_t r = 0; r < inv.rowCount(); ++r) {
        EXPECT_EQ(num(inv.at(r, 0)), num(inv.at(r, 1)) + num(inv.at(r, 2))) << r;
        EXPECT_EQ(num(inv.at(r, 1)), num(inv.at(r, 4))) << r;
        EXPECT_EQ(num(inv.at(r, 2)), num(inv.at(r, 5))) << r;
        EXPECT_EQ(num(inv.at(r, 3)), num(inv.at(r, 0)) - num(inv.at(r, 6))) << r;
        (num(inv.at(r, 3)).isZero() ? settled : unpaid)++;
    }
    EXPECT_GT(unpaid, 0);
    EXPECT_GT(settled, unpaid);
    EXPECT_EQ(count("SELECT COUNT(*) FROM FactOut WHERE SERIA = 'BON F.' AND REST <> 0"), 0);

    ResultSet docs =
        q("SELECT F.TOTAL, F.REST, (SELECT SUM(P.PLATIT) FROM ChitIn P WHERE P.IDFACT = F.IDFACT), "
          "(SELECT SUM(L.TOTALF) FROM ProdNIR L, CapNIR N WHERE L.IDNIR = N.IDNIR "
          "AND N.IDFACT = F.IDFACT) FROM FactIn F");
    for (size_t r = 0; r < docs.rowCount(); ++r) {
        EXPECT_EQ(num(docs.at(r, 1)), num(docs.at(r, 0)) - num(docs.at(r, 2))) << r;
        if (!docs.at(r, 3).isNull()) {
            EXPECT_EQ(num(docs.at(r, 0)), num(docs.at(r, 3))) << r;
        }
    }
}

TEST_F(GeneratedShop, NoteTotalsAreThoseRecalculatedFromTheLines) {
    const std::string sum = "FROM ProdNIR P WHERE P.IDNIR = C.IDNIR AND P.CATEG = ";
    ResultSet rs =
        q("SELECT C.VMF, C.VAF, C.VAC, C.VTN, C.TOTAL, "
          "(SELECT SUM(P.VALOARE) " +
          sum +
          "'MARFA'), "
          "(SELECT SUM(P.VALOARE) " +
          sum +
          "'AMBALAJ'), "
          "(SELECT SUM(P.VALA)-SUM(P.VALOARE) " +
          sum +
          "'MARFA'), "
          "(SELECT SUM(P.VALAT)-SUM(P.VALA) " +
          sum +
          "'MARFA'), "
          "(SELECT SUM(P.VALAT) " +
          sum + "'MARFA') FROM CapNIR C");
    int withPackaging = 0;
    for (size_t r = 0; r < rs.rowCount(); ++r) {
        for (int c = 0; c < 5; ++c) {
            const Value& stored = rs.at(r, c);
            const Value& computed = rs.at(r, c + 5);
            ASSERT_EQ(stored.isNull(), computed.isNull()) << "note row " << r << " total " << c;
            if (!stored.isNull()) {
                EXPECT_EQ(stored.number(), computed.number()) << r << " " << c;
            }
        }
        withPackaging += rs.at(r, 1).isNull() ? 0 : 1;
    }
    EXPECT_GT(withPackaging, 0);
}

TEST_F(GeneratedShop, LooksLikeARealShop) {
    ResultSet span = q("SELECT MIN(DATAOUT), MAX(DATAOUT) FROM FactOut");
    EXPECT_EQ(span.at(0, 0).date().year(), 2016);
    EXPECT_EQ(span.at(0, 1).date().year(), 2025);
    EXPECT_EQ(count("SELECT COUNT(*) FROM Fise WHERE DINDATA < '01.01.2016' "
                    "OR DINDATA > '31.12.2025'"),
              0);
    std::set<long long> rates;
    ResultSet vat = q("SELECT DISTINCT TVAPROC FROM FactOut");
    for (size_t r = 0; r < vat.rowCount(); ++r) rates.insert(vat.at(r, 0).number().toLongLong());
    EXPECT_EQ(rates, (std::set<long long>{5, 9, 19}));
    // A few products sell far more often than the typical one.
    ResultSet popular =
        q("SELECT PRODUS, COUNT(*) AS N FROM ProdOut WHERE IDCAP > 0 "
          "GROUP BY PRODUS ORDER BY N DESC");
    ASSERT_GT(popular.rowCount(), 20u);
    const Decimal top = popular.at(0, 1).number();
    const Decimal median = popular.at(popular.rowCount() / 2, 1).number();
    EXPECT_GE(top, median * Decimal(5));
    // Plain ASCII text: no diacritics anywhere in names.
    ResultSet names =
        q("SELECT PRODUS, SOC2, ADRESA2, DELEG FROM FactOut F, ProdOut O "
          "WHERE O.IDFACTO = F.IDFACTO");
    for (size_t r = 0; r < names.rowCount(); ++r)
        for (int c = 0; c < 4; ++c) {
            const std::string text = names.at(r, c).text();
            for (unsigned char ch : text) ASSERT_LT(ch, 0x80) << r << ": " << text;
        }
    EXPECT_GT(count("SELECT COUNT(*) FROM FactOut WHERE TVATOT > 0"), 400);
}

TEST(ShopGeneratorRuns, TheSameSeedGivesTheSameDataAndAnotherSeedOtherData) {
    ScratchDir dir;
    GeneratorOptions options;
    options.scale = *Decimal::parse("0.002");
    options.seed = 11;
    generateShop(dir.path() / "a", options);
    generateShop(dir.path() / "b", options);
    options.seed = 12;
    generateShop(dir.path() / "c", options);
    auto rows = [](const std::filesystem::path& d) {
        tables::Database db(d);
        ResultSet rs = db.query("SELECT * FROM ProdOut");
        std::vector<std::string> out;
        for (size_t r = 0; r < rs.rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < rs.columnCount(); ++c) line += rs.at(r, c).toString() + "|";
            out.push_back(line);
        }
        return out;
    };
    EXPECT_EQ(rows(dir.path() / "a"), rows(dir.path() / "b"));
    EXPECT_NE(rows(dir.path() / "a"), rows(dir.path() / "c"));
}

// The settings file makes the generated shop one the program runs on: a complete company
// profile, a code for every unit the lines use, and each counter one past its rows.
TEST_F(GeneratedShop, SettingsHoldTheProfileUnitsAndCountersOfTheRows) {
    core::Settings settings(dir_->path() / "Data" / core::kSettingsFileName);
    core::CompanyProfile profile;
    profile.load(settings);
    EXPECT_TRUE(profile.vatPayer());
    std::string taxCode = profile.codFisc;
    EXPECT_TRUE(core::CheckCUI(taxCode)) << profile.codFisc;
    EXPECT_FALSE(core::CountyCode(profile.judet).empty()) << profile.judet;
    EXPECT_FALSE(profile.checkForSave().has_value());
    EXPECT_GT(count("SELECT COUNT(*) FROM FactOut WHERE SERIA='" + profile.factSeria + "'"), 0);
    EXPECT_GT(count("SELECT COUNT(*) FROM ChitOut WHERE SERIA='" + profile.chitSeria + "'"), 0);

    for (const char* table : {"ProdNIR", "ProdOut", "CapFise", "Catalog"}) {
        const ResultSet units = q(std::string("SELECT UM FROM ") + table + " GROUP BY UM");
        for (size_t r = 0; r < units.rowCount(); ++r) {
            core::UnitChoice choice(settings);
            EXPECT_TRUE(choice.open(units.at(r, 0).text())) << units.at(r, 0).text();
            EXPECT_FALSE(core::UnitChoice::codeOf(choice.chosenItem()).empty());
        }
    }

    const std::vector<std::pair<const char*, std::string>> counters = {
        {"IDFACT", "SELECT MAX(IDFACT) FROM FactIn"},
        {"IDCHIT", "SELECT MAX(IDCHIT) FROM ChitOut"},
        {"IDNIR", "SELECT MAX(IDNIR) FROM CapNIR"},
        {"NRNIR", "SELECT MAX(NRNIR) FROM CapNIR"},
        {"IDPROD", "SELECT MAX(IDPROD) FROM ProdNIR"},
        {"IDCAP", "SELECT MAX(IDCAP) FROM CapFise"},
        {"IDFISA", "SELECT MAX(IDFISA) FROM Fise"},
        {"IDFACTO", "SELECT MAX(IDFACTO) FROM FactOut"},
        {"FACTNR", "SELECT MAX(NR) FROM FactOut WHERE SERIA='" + profile.factSeria + "'"},
        {"NRBON", "SELECT MAX(NR) FROM FactOut WHERE SERIA='BON F.'"},
        {"CHITNR", "SELECT MAX(NR) FROM ChitOut WHERE SERIA='" + profile.chitSeria + "'"},
        {"COMANDANR", "SELECT MAX(NR) FROM Comenzi"},
        {"IDCAT", "SELECT MAX(IDCAT) FROM Catalog"},
        {"IDTIMP", "SELECT MAX(IDTIMP) FROM Timp"},
        {"IDCOM", "SELECT MAX(IDCOM) FROM Precom"},
        {"NRCOM", "SELECT MAX(NRCOM) FROM Precom"},
        {"IDCONT", "SELECT MAX(IDCONT) FROM Conturi"},
        {"AVIZ DE INSOTIRE MARFA",
         "SELECT MAX(NRDOC) FROM Fise WHERE DOCJUS='AVIZ DE INSOTIRE MARFA'"},
    };
    for (const auto& [counter, highest] : counters)
        EXPECT_EQ(settings.peekNumber(counter), count(highest) + 1) << counter;
    EXPECT_GT(settings.peekNumber("IDCHIT"), count("SELECT MAX(IDCHIT) FROM ChitIn"));
}

TEST(ShopGeneratorRuns, ANonPayerCompanyOnRequest) {
    ScratchDir dir;
    GeneratorOptions options;
    options.scale = *Decimal::parse("0.002");
    options.vatPayer = false;
    generateShop(dir.path() / "Data", options);
    core::CompanyProfile profile;
    profile.load(core::Settings(dir.path() / "Data" / core::kSettingsFileName));
    EXPECT_FALSE(profile.vatPayer()) << profile.codFisc;
    std::string taxCode = profile.codFisc;
    EXPECT_TRUE(core::CheckCUI(taxCode)) << profile.codFisc;
}

TEST(ShopGeneratorRuns, RefusesADirectoryThatAlreadyHoldsTablesAndLeavesItAlone) {
    ScratchDir dir;
    {
        tables::Database db(dir.path());
        db.execute("CREATE TABLE Fise (X CHAR(3))");
        db.execute("INSERT INTO Fise VALUES ('abc')");
    }
    GeneratorOptions options;
    options.scale = *Decimal::parse("0.002");
    try {
        generateShop(dir.path(), options);
        FAIL() << "no error for a directory with tables";
    } catch (const tables::EngineError& e) {
        EXPECT_NE(std::string(e.what()).find("Fise.dbf"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Conturi.dbf"));
    tables::Database again(dir.path());
    EXPECT_EQ(again.query("SELECT X FROM Fise").at(0, 0).text(), "abc");
}

TEST(ShopGeneratorRuns, RefusesAScaleOutOfRangeBeforeWritingAnything) {
    ScratchDir dir;
    for (const char* scale : {"0.0001", "11"}) {
        GeneratorOptions options;
        options.scale = *Decimal::parse(scale);
        EXPECT_THROW(generateShop(dir.path() / "d", options), tables::EngineError) << scale;
        EXPECT_FALSE(std::filesystem::exists(dir.path() / "d" / "Conturi.dbf")) << scale;
    }
}

}  // namespace
}  // namespace tvx::gen

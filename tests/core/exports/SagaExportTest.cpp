// Tests of the export to SAGA: the article plan (which rows become articles, the number each
// line carries) case by case; the three tables of a generated shop read back by the
// independent reader dbf-dump (header bytes, field descriptors, record lengths, values, the
// code page of the texts); an empty period; the location choice; the placing in a folder
// that refuses, or replaces on request, files of the same names; and tvxcli saga as a process.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "ShopGenerator.h"
#include "core/CoreTestSupport.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/exports/SagaExport.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using tables::Date;
using tables::Decimal;
using testsupport::FileBytes;
using testsupport::ScratchDir;
using Rows = std::vector<std::map<std::string, std::string>>;

struct PlanCase {
    const char* what;
    std::vector<std::string> entryCards, exitCards;
    std::vector<std::string> articleCards;  // the card of each article, in order
    std::vector<long long> entryNumbers, exitNumbers;
};

TEST(SagaArticlePlan, NumbersEveryLineFromItsOldCodeOnly) {
    const std::vector<PlanCase> cases = {
        {"nothing", {}, {}, {}, {}, {}},
        {"old codes 5 and 1: the second keeps 2 although 1 is the first's new number",
         {"5", "1", "5"},
         {"1"},
         {"5", "1", "5"},
         {1, 2, 1},
         {2}},
        {"a card received on two lines is two articles; its lines carry the first",
         {"7", "7"},
         {"7"},
         {"7", "7"},
         {1, 1},
         {1}},
        {"exits add the cards not yet listed, once each, after the entries",
         {"3"},
         {"4", "3", "4", "9"},
         {"3", "4", "9"},
         {1},
         {2, 1, 2, 3}},
        {"exits alone", {}, {"2", "1", "2"}, {"2", "1"}, {}, {1, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SagaArticlePlan plan = PlanSagaArticles(c.entryCards, c.exitCards);
        std::vector<std::string> cards;
        for (const auto& a : plan.articles)
            cards.push_back(a.fromExit ? c.exitCards.at(a.line) : c.entryCards.at(a.line));
        EXPECT_EQ(cards, c.articleCards);
        EXPECT_EQ(plan.entryNumbers, c.entryNumbers);
        EXPECT_EQ(plan.exitNumbers, c.exitNumbers);
    }
}

Date D(const char* text) {
    return *Date::parseDayFirst(text);
}

// What dbf-dump says of a file before its rows: the "key: value" facts and the field list
// as "NAME T WIDTH DECIMALS". Its exit status (1 on any WARN check) must be 0.
struct DumpedHeader {
    std::map<std::string, std::string> facts;
    std::vector<std::string> fields;
};

DumpedHeader DumpHeader(const fs::path& file) {
    const std::string command = std::string("python3 \"") + TVX_SHARED_DIR +
                                "/tools/dbf-dump\" --no-rows \"" + file.string() + "\"";
    DumpedHeader dumped;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return dumped;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        const std::string line(buffer, std::strcspn(buffer, "\n"));
        std::istringstream words(line);
        int number = 0;
        std::string name, type, width, decimals;
        if (line[0] == ' ' && words >> number >> name >> type >> width >> decimals) {
            dumped.fields.push_back(name + " " + type + " " + width + " " + decimals);
        } else if (const auto colon = line.find(": "); colon != std::string::npos) {
            dumped.facts[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    EXPECT_EQ(::pclose(pipe), 0) << file;
    return dumped;
}

// The field list a table is built from (resources/embedded/saga), in the same form.
std::vector<std::string> SourceFields(const std::string& table) {
    std::ifstream in(fs::path(TVX_SOURCE_DIR) / ".." / "resources" / "embedded" / "saga" /
                     (table + ".fields"));
    std::vector<std::string> fields;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name, type;
        int width = 0, decimals = 0;
        if (!(words >> name) || name[0] == '#' || name == "record-length") continue;
        words >> type >> width >> decimals;
        fields.push_back(name + " " + type + " " + std::to_string(width) + " " +
                         std::to_string(decimals));
    }
    return fields;
}

Decimal Sum(const Rows& rows, const char* field) {
    Decimal sum(0);
    for (const auto& row : rows) sum = sum + *Decimal::parse(row.at(field));
    return sum;
}

class SagaExport : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        shop_ = new ScratchDir();
        gen::GeneratorOptions options;
        options.scale = *Decimal::parse("0.01");
        options.seed = 7;
        gen::generateShop(shop_->path() / "Data", options);
        db_ = new tables::Database(shop_->path() / "Data", shop_->path());
        // A product with Romanian letters: the card of the period's first NIR line.
        const auto card =
            db_->query("SELECT B.IDCAP FROM " + QuotedPath(TableFile(*db_, "ProdNIR")) +
                           " B JOIN " + QuotedPath(TableFile(*db_, "CapNIR")) +
                           " A ON A.IDNIR=B.IDNIR WHERE A.DATANIR>=:from AND " +
                           "A.DATANIR<=:to ORDER BY A.DATANIR, A.NRNIR, B.IDPROD",
                       {{"from", kFrom}, {"to", kTo}})
                .at(0, 0);
        for (const char* table : {"ProdNIR", "ProdOut"})
            db_->execute("UPDATE " + QuotedPath(TableFile(*db_, table)) +
                             " SET PRODUS=:name WHERE IDCAP=:card",
                         {{"name", kRomanianName}, {"card", card}});
    }
    static void TearDownTestSuite() {
        delete db_;
        delete shop_;
    }
    // `what` over the period's NIR lines (B) with their notes (A), or over its invoice lines
    // (B) with their invoices (A); of one location when given.
    Decimal OverEntries(const std::string& what, const std::string& location = "") {
        return Scalar("SELECT " + what + " FROM " + Path("ProdNIR") + " B JOIN " + Path("CapNIR") +
                          " A ON A.IDNIR=B.IDNIR WHERE A.DATANIR>=:from AND " + "A.DATANIR<=:to" +
                          (location.empty() ? "" : " AND B.GESTIUNE=:loc"),
                      location);
    }
    Decimal OverExits(const std::string& what, const std::string& location = "") {
        return Scalar("SELECT " + what + " FROM " + Path("ProdOut") + " B JOIN " + Path("FactOut") +
                          " A ON A.IDFACTO=B.IDFACTO WHERE A.DATAOUT>=:from " +
                          "AND A.DATAOUT<=:to" + (location.empty() ? "" : " AND A.GESTIUNE=:loc"),
                      location);
    }
    Decimal Scalar(const std::string& sql, const std::string& location) {
        tables::Params params{{"from", kFrom}, {"to", kTo}, {"loc", location}};
        return db_->query(sql, params).at(0, 0).number();
    }
    std::string Path(const char* table) { return QuotedPath(TableFile(*db_, table)); }
    SagaFiles Export(const SagaPeriod& period, const fs::path& folder) {
        const SagaFiles work = WriteSagaWorkFiles(*db_, work_.path(), period);
        return PlaceSagaFiles(work, folder, period.from, period.to, false);
    }

    static constexpr const char* kRomanianName = "ŢUICĂ ŞI ÎNGHEŢATĂ";
    static inline const Date kFrom = D("01.01.2024");
    static inline const Date kTo = D("31.03.2024");
    static ScratchDir* shop_;
    static tables::Database* db_;
    ScratchDir work_;
    ScratchDir out_;
};

ScratchDir* SagaExport::shop_ = nullptr;
tables::Database* SagaExport::db_ = nullptr;

TEST_F(SagaExport, WritesThreeLevel7TablesThatAgreeWithTheDocuments) {
    const SagaFiles files = Export({kFrom, kTo, ""}, out_.path());
    EXPECT_EQ(files.entries, out_.path() / "IN_01-01-2024_31-03-2024.dbf");
    EXPECT_TRUE(fs::exists(out_.path() / "Articole_01-01-2024_31-03-2024.dbf"));
    EXPECT_TRUE(fs::is_empty(work_.path())) << "the work files are gone once placed";

    const std::map<fs::path, std::pair<std::string, int>> layouts = {
        {files.articles, {"Articole", 201}},
        {files.entries, {"IN", 301}},
        {files.exits, {"IE", 294}}};
    for (const auto& [file, layout] : layouts) {
        SCOPED_TRACE(layout.first);
        const std::string bytes = FileBytes(file);
        ASSERT_GT(bytes.size(), 68u);
        EXPECT_EQ(bytes[0], '\x04');
        EXPECT_EQ(bytes[28], '\0') << "no production index";
        EXPECT_EQ(bytes.substr(32, 32), std::string("DBWINUS0") + std::string(24, '\0'));
        const DumpedHeader dumped = DumpHeader(file);
        EXPECT_EQ(dumped.fields, SourceFields(layout.first));
        EXPECT_EQ(dumped.facts.at("record length"), std::to_string(layout.second));
        EXPECT_EQ(dumped.facts.at("header length"),
                  std::to_string(68 + 48 * dumped.fields.size() + 1));
        EXPECT_EQ(dumped.facts.at("language driver name (32-63)"), "DBWINUS0");
    }

    const Rows articles = testsupport::dumpRows(files.articles);
    const Rows entries = testsupport::dumpRows(files.entries);
    const Rows exits = testsupport::dumpRows(files.exits);
    ASSERT_FALSE(entries.empty());
    ASSERT_FALSE(exits.empty());
    EXPECT_EQ(Decimal(static_cast<long long>(entries.size())), OverEntries("COUNT(*)"));
    EXPECT_EQ(Decimal(static_cast<long long>(exits.size())), OverExits("COUNT(*)"));
    EXPECT_EQ(Sum(entries, "VALOARE"), OverEntries("SUM(B.VALOARE)"));
    EXPECT_EQ(Sum(exits, "TVA"), OverExits("SUM(B.VALTVA)"));

    // Articles are numbered 1, 2, 3 ...; every line names an article of its own product.
    for (size_t i = 0; i < articles.size(); ++i) {
        EXPECT_EQ(articles[i].at("COD"), std::to_string(i + 1));
        EXPECT_EQ(articles[i].at("TIP"), "01");
        EXPECT_EQ(articles[i].at("DEN_TIP"), "Marfuri");
    }
    for (const Rows* rows : {&entries, &exits}) {
        for (size_t i = 0; i < rows->size(); ++i) {
            const auto& line = (*rows)[i];
            const size_t number = std::stoul(line.at("COD_ART"));
            ASSERT_TRUE(number >= 1 && number <= articles.size());
            EXPECT_EQ(articles[number - 1].at("DENUMIRE"), line.at("DEN_ART"));
            EXPECT_EQ(articles[number - 1].at("UM"), line.at("UM"));
            EXPECT_EQ(line.at("CONT"), rows == &entries ? "371" : "707");
            EXPECT_EQ(line.at("DEN_GEST"), "LACTATE");
            if (rows == &exits) {
                EXPECT_EQ(line.at("COD"), std::to_string(i + 1));
            }
        }
    }
    EXPECT_EQ(entries[0].at("SCADENT"), entries[0].at("DATA"));
    EXPECT_EQ(entries[0].at("DATA").substr(0, 4), "2024");

    // Texts are in the Romanian Windows code page, as the shop's own tables.
    const std::string name = tables::dbf::utf8ToCp1250(kRomanianName);
    EXPECT_NE(FileBytes(files.entries).find(name), std::string::npos);
    EXPECT_NE(FileBytes(files.articles).find(name), std::string::npos);
}

TEST_F(SagaExport, AnEmptyPeriodGivesThreeEmptyTables) {
    const SagaFiles files = Export({D("01.01.2000"), D("31.01.2000"), ""}, out_.path());
    for (const auto& file : files.paths()) {
        SCOPED_TRACE(file.string());
        EXPECT_EQ(FileBytes(file).substr(4, 4), std::string(4, '\0')) << "no records";
        EXPECT_TRUE(testsupport::dumpRows(file).empty());
    }
    EXPECT_EQ(files.articleRows + files.entryRows + files.exitRows, 0u);
}

TEST_F(SagaExport, OneLocationTakesOnlyItsLines) {
    const std::string location =
        db_->query("SELECT MIN(GESTIUNE) FROM " + Path("FactOut")).at(0, 0).text();
    const SagaFiles one = WriteSagaWorkFiles(*db_, work_.path(), {kFrom, kTo, location});
    const SagaFiles all = WriteSagaWorkFiles(*db_, work_.path(), {kFrom, kTo, kAllLocations});
    EXPECT_EQ(Decimal(static_cast<long long>(one.entryRows)), OverEntries("COUNT(*)", location));
    EXPECT_EQ(Decimal(static_cast<long long>(one.exitRows)), OverExits("COUNT(*)", location));
    EXPECT_LT(one.exitRows + one.entryRows, all.exitRows + all.entryRows);
}

TEST_F(SagaExport, PlacingRefusesOrReplacesExistingFilesAndKeepsTheWorkFilesOnFailure) {
    const SagaPeriod period{kFrom, kTo, ""};
    Export(period, out_.path());
    const fs::path placedEntries = out_.path() / "IN_01-01-2024_31-03-2024.dbf";
    std::ofstream(placedEntries, std::ios::trunc) << "the accountant's own file";

    const SagaFiles work = WriteSagaWorkFiles(*db_, work_.path(), period);
    EXPECT_EQ(ExistingSagaFiles(out_.path(), kFrom, kTo).size(), 3u);
    EXPECT_THROW(PlaceSagaFiles(work, out_.path(), kFrom, kTo, false), tables::EngineError);
    EXPECT_EQ(FileBytes(placedEntries), "the accountant's own file");
    EXPECT_THROW(PlaceSagaFiles(work, out_.path() / "missing", kFrom, kTo, true),
                 tables::EngineError);
    for (const auto& file : work.paths()) EXPECT_TRUE(fs::exists(file)) << file;

    const std::string newEntries = FileBytes(work.entries);
    PlaceSagaFiles(work, out_.path(), kFrom, kTo, true);
    EXPECT_EQ(FileBytes(placedEntries), newEntries);
    for (const auto& file : work.paths()) EXPECT_FALSE(fs::exists(file)) << file;
    EXPECT_EQ(std::distance(fs::directory_iterator(out_.path()), fs::directory_iterator()), 3)
        << "no copy is left beside the placed files";
}

// tvxcli beside this test program.
fs::path Tvxcli() {
    return fs::read_symlink("/proc/self/exe").parent_path() / "tvxcli";
}

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun RunCli(const std::string& args, const fs::path& scratch) {
    const fs::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    const std::string command = "\"" + Tvxcli().string() + "\" saga " + args + " >\"" +
                                out.string() + "\" 2>\"" + err.string() + "\"";
    CliRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = FileBytes(out);
    run.err = FileBytes(err);
    return run;
}

TEST_F(SagaExport, TvxcliWritesOneLineOrSaysWhyAndLeavesNothing) {
    ScratchDir logs;
    // A copy of the shop: the fixture's engine holds the data directory.
    fs::copy(shop_->path() / "Data", logs.path() / "Data", fs::copy_options::recursive);
    const std::string data = "\"" + (logs.path() / "Data").string() + "\"";
    const std::string out = "\"" + out_.path().string() + "\"";
    // Where no file can be made: a read-only folder, or (as root) a kernel one.
    ScratchDir locked;
    fs::permissions(locked.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string unwritable = ::geteuid() == 0 ? "/proc" : locked.path().string();
    struct Case {
        const char* what;
        std::string args;
        bool ok;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"success", data + " 01.01.2024 31.03.2024 " + out, true, "wrote "},
        {"files of those names exist", data + " 01.01.2024 31.03.2024 " + out, false,
         "error: in folderul"},
        {"missing data directory",
         "\"" + (logs.path() / "nowhere").string() + "\" 01.02.2024 29.02.2024 " + out, false,
         "error: directorul de date"},
        {"bad date", data + " 31.02.2024 31.03.2024 " + out, false, "error: data \"31.02.2024\""},
        {"dates reversed", data + " 01.03.2024 01.02.2024 " + out, false, "error: data de sfarsit"},
        {"unwritable output folder", data + " 01.04.2024 30.04.2024 " + unwritable, false,
         "error: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun run = RunCli(c.args, logs.path());
        EXPECT_EQ(run.status == 0, c.ok) << run.err;
        const std::string& said = c.ok ? run.out : run.err;
        EXPECT_EQ(said.rfind(c.says, 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_EQ(std::distance(fs::directory_iterator(out_.path()), fs::directory_iterator()), 3)
            << "the three files of the first run, nothing more";
    }
    fs::permissions(locked.path(), fs::perms::owner_all);
}

}  // namespace
}  // namespace tvx::core

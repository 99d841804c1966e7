// The start-up of a session on a program folder, and the main window's offer by grade.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "../CoreTestSupport.h"
#include "core/admin/Users.h"
#include "core/app/MainMenu.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "core/common/Schema.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::FileBytes;
using testsupport::ScratchDir;

std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = FileBytes(entry.path());
    return files;
}

TEST(StartupTest, FirstStartMakesTheDataDirectoryWithEveryTableAndASecondChangesNothing) {
    ScratchDir scratch;
    const fs::path program = scratch.path() / "deep" / "program";  // parents missing too
    {
        Session session(program);
        EXPECT_FALSE(session.isOpen());
        EXPECT_THROW(session.db(), tables::EngineError);
        PrepareData(session);
        ASSERT_TRUE(fs::is_directory(program / "Data"));
        EXPECT_EQ(session.dataDir(), program / "Data");
        int tables = 0;
        for (const auto& entry : fs::directory_iterator(session.dataDir()))
            if (entry.path().extension() == ".dbf") ++tables;
        EXPECT_EQ(tables, 14);
        int last = 0;
        EXPECT_EQ(TidyTables(session.db(), [&](int position) { last = position; }), "");
        EXPECT_EQ(last, 100);
        // The start-up run again in the same session reopens the directory it holds.
        EXPECT_NO_THROW(PrepareData(session));
    }
    const auto before = Snapshot(program / "Data");
    Session again(program);
    PrepareData(again);
    again.close();
    EXPECT_EQ(Snapshot(program / "Data"), before);
}

TEST(StartupTest, ADataDirectoryThatCannotBeMadeStopsTheStartWithItsName) {
    ScratchDir scratch;
    std::ofstream(scratch.path() / "Data") << "a file where the folder should be";
    Session session(scratch.path());
    try {
        PrepareData(session);
        FAIL() << "the start went on without a data directory";
    } catch (const tables::EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("Data"), std::string::npos) << error.what();
    }
    EXPECT_FALSE(session.isOpen());
}

TEST(StartupTest, ProfileAndLocationsAreReadAfterTheStartAndTheUserComesAndGoes) {
    ScratchDir scratch;
    Session session(scratch.path());
    PrepareData(session);
    session.settings().writeSetting("SETARI", "DENUMIRE", "ALFA SRL");
    session.settings().writeSetting("SETARI", "DOMENIU", "SERVICE AUTO");
    std::ofstream(session.dataDir() / "GesLista.txt") << "MAGAZIN\r\nDEPOZIT\r\n";
    session.loadProfile();
    EXPECT_EQ(session.profile.denumire, "ALFA SRL");
    EXPECT_TRUE(session.profile.workshop());
    EXPECT_EQ(session.locations.names(), (std::vector<std::string>{"DEPOZIT", "MAGAZIN"}));

    EXPECT_FALSE(session.loggedIn());
    const LoginResult first = LogIn(session.dataDir(), "  ana  ", "X");  // first start: ADMIN
    session.logIn(first);
    EXPECT_TRUE(session.loggedIn());
    EXPECT_EQ(session.grade, kGradeAdmin);
    EXPECT_EQ(session.userName, "ADMIN");
    session.logOut();
    EXPECT_EQ(session.grade, kGradeNecunoscut);
    EXPECT_EQ(session.password, "");
    session.logIn(LogIn(session.dataDir(), "ADMIN", "WRONG"));
    EXPECT_FALSE(session.loggedIn());
}

TEST(MainMenuTest, ButtonsByGradeAndActivity) {
    using C = MainCommand;
    EXPECT_TRUE(MainButtonShown(C::Reports, kGradeAdmin, false));
    EXPECT_TRUE(MainButtonShown(C::Reports, kGradeContabil, false));
    EXPECT_FALSE(MainButtonShown(C::Reports, kGradeCasier, false));
    EXPECT_FALSE(MainButtonShown(C::PreOrders, kGradeAdmin, false));
    EXPECT_TRUE(MainButtonShown(C::PreOrders, kGradeCasier, true));
    EXPECT_TRUE(MainButtonShown(C::Backup, kGradeCasier, false));

    std::vector<C> keyed;
    for (int key = 0; key <= 6; ++key)
        if (const MainButton* button = ButtonOfKey(key)) keyed.push_back(button->command);
    EXPECT_EQ(keyed, (std::vector<C>{C::IncomingInvoices, C::ReceivedNotes, C::ProductCard,
                                     C::OutgoingInvoices, C::Reports}));
}

TEST(MainMenuTest, EveryReportIsReachableOnceAndEveryPickerHasItsTitle) {
    std::set<ReportId> seen;
    std::function<void(const std::vector<ReportItem>&)> walk = [&](const auto& items) {
        for (const ReportItem& item : items) {
            walk(item.children);
            if (item.heading || !item.children.empty()) {
                EXPECT_EQ(item.id, ReportId::None) << item.caption;
                continue;
            }
            EXPECT_TRUE(seen.insert(item.id).second) << item.caption << " appears twice";
            if (item.picker != ReportPicker::None) {
                EXPECT_STRNE(item.pickerTitle, "") << item.caption;
            }
            if (item.picker == ReportPicker::Month) {
                EXPECT_FALSE(item.withLocation) << item.caption;
            }
        }
    };
    walk(ReportMenu());
    EXPECT_EQ(seen.size(), static_cast<size_t>(ReportId::Warranties));  // all but None
}

}  // namespace
}  // namespace tvx::core

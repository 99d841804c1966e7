// Tests of free work-file names: the first absent name, a stale file taken over, folders
// skipped, and the empty answer when all 101 names are taken.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/common/TempFiles.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

TEST(TempFileName, FirstFreeNameAStaleFileBeingDeleted) {
    ScratchDir dir;
    EXPECT_EQ(TempFileName(dir.path(), "XLSTmp", ".xls"), dir.path() / "XLSTmp0.xls");
    std::ofstream(dir.path() / "AvizFis0.dbf") << "old work table";
    EXPECT_EQ(TempFileName(dir.path(), "AvizFis", ".dbf"), dir.path() / "AvizFis0.dbf");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(TempFileName, FoldersAreSkippedAndAllTakenGivesEmpty) {
    ScratchDir dir;
    fs::create_directories(dir.path() / "Art1.dbf" / "inside");
    for (int n = 0; n <= 100; ++n) fs::create_directory(dir.path() / ("IE" + std::to_string(n)));
    fs::create_directory(dir.path() / "Art0.dbf");
    EXPECT_EQ(TempFileName(dir.path(), "Art", ".dbf"), dir.path() / "Art2.dbf");
    EXPECT_TRUE(fs::is_directory(dir.path() / "Art0.dbf"));
    EXPECT_TRUE(TempFileName(dir.path(), "IE", "").empty());
    fs::remove(dir.path() / "IE100");
    EXPECT_EQ(TempFileName(dir.path(), "IE", ""), dir.path() / "IE100");
}

}  // namespace
}  // namespace tvx::core

// Tests of embedded files: extraction byte for byte, names and kinds matched ignoring case,
// and a quiet false with the target untouched when the resource or the write fails.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/common/Templates.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;
using testsupport::ScratchDir;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ExtractTemplate, WritesTheResourceByteForByteByNameAndKind) {
    const std::string workbook(
        "\xD0\xCF\x11\xE0\0\0\r\n\x1A"
        "binary",
        15);
    RegisterTemplate("TestNirtva", "Model", "first");
    RegisterTemplate("testnirtva", "MODEL", workbook);  // replaces the first
    RegisterTemplate("TestNirtva", "PICTURE", "picture");
    ScratchDir dir;
    const fs::path target = dir.path() / "NIRTVA.xls";
    std::ofstream(target) << "an older, longer template the user changed";
    ASSERT_TRUE(ExtractTemplate("TESTNIRTVA", "model", target));
    EXPECT_EQ(readBytes(target), workbook);
    ASSERT_TRUE(ExtractTemplate("TestNirtva", "Picture", dir.path() / "b.jpg"));
    EXPECT_EQ(readBytes(dir.path() / "b.jpg"), "picture");
}

TEST(ExtractTemplate, FailureGivesFalseAndTouchesNothing) {
    RegisterTemplate("TestIE", "MODEL", "table");
    ScratchDir dir;
    EXPECT_FALSE(ExtractTemplate("TestNoSuchResource", "MODEL", dir.path() / "x"));
    EXPECT_FALSE(ExtractTemplate("TestIE", "OTHER", dir.path() / "x"));
    EXPECT_FALSE(ExtractTemplate("TestIE", "MODEL", dir.path() / "missing" / "IE0.dbf"));
    fs::create_directories(dir.path() / "IE0.dbf" / "inside");
    EXPECT_FALSE(ExtractTemplate("TestIE", "MODEL", dir.path() / "IE0.dbf"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "IE0.dbf" / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tvx::core

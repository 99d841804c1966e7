// The layering rule: the table engine, the workbook engine and the business core never include
// Qt Widgets.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "support/TestPaths.h"

namespace {

TEST(Layers, TablesAndCoreIncludeNoWidgets) {
    const std::regex widgetInclude(
        R"(^\s*#\s*include\s*[<"](QtWidgets|QWidget|QDialog|QApplication|QMainWindow|Q[A-Za-z]*(Edit|Box|Button|View))\b)");
    ASSERT_TRUE(std::regex_search("#include <QtWidgets/QDialog>", widgetInclude));
    ASSERT_TRUE(std::regex_search("  #include \"QLineEdit\"", widgetInclude));
    ASSERT_FALSE(std::regex_search("#include <QString>", widgetInclude));
    int filesRead = 0;
    for (const char* folder : {"tables", "core", "workbook"}) {
        const auto root = std::filesystem::path(TVX_SOURCE_DIR) / folder;
        ASSERT_TRUE(std::filesystem::is_directory(root)) << root;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            const auto ext = entry.path().extension();
            if (ext != ".h" && ext != ".cpp" && ext != ".txt") continue;
            std::ifstream in(entry.path());
            std::string line;
            int number = 0;
            ++filesRead;
            while (std::getline(in, line)) {
                ++number;
                EXPECT_FALSE(std::regex_search(line, widgetInclude))
                    << entry.path() << ":" << number << ": " << line;
                EXPECT_EQ(line.find("Qt6::Widgets"), std::string::npos)
                    << entry.path() << ":" << number;
            }
        }
    }
    EXPECT_GT(filesRead, 10);
}

}  // namespace

// The names the save dialogs propose: forbidden characters replaced, blanks trimmed, an empty
// name given a stand-in, and the day written so that saves sort by date.
#include <gtest/gtest.h>

#include "core/common/ProposedFileNames.h"

namespace tvx::core {
namespace {

TEST(ProposedFileNames, SafeFileNameKeepsOnlyWhatAFileNameMayHold) {
    const struct {
        std::string name, expected;
    } cases[] = {
        {"Factura ABC45", "Factura ABC45.pdf"},
        {"Chitanta seria A/B nr.12", "Chitanta seria A_B nr.12.pdf"},
        {"  Deviz B-12-XYZ  ", "Deviz B-12-XYZ.pdf"},
        {"a\\b:c*d?e\"f<g>h|i\tj", "a_b_c_d_e_f_g_h_i_j.pdf"},
        {"   ", "Document.pdf"},
        {"", "Document.pdf"},
    };
    for (const auto& c : cases) EXPECT_EQ(SafeFileName(c.name, ".pdf"), c.expected) << c.name;
}

TEST(ProposedFileNames, DatedFileNameSortsByDay) {
    EXPECT_EQ(DatedFileName("Tarvix", tables::Date::fromYmd(2026, 12, 9), ".tvx"),
              "Tarvix 2026-12-09.tvx");
    EXPECT_LT(DatedFileName("Tarvix", tables::Date::fromYmd(2026, 1, 31), ".tvx"),
              DatedFileName("Tarvix", tables::Date::fromYmd(2026, 2, 1), ".tvx"));
}

}  // namespace
}  // namespace tvx::core

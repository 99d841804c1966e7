// Tests of the layout file loader: a good file read in full, and faulty files refused with a
// message that names the file, the band and the element.
#include <gtest/gtest.h>

#include <string>

#include "printing/LayoutLoader.h"
#include "printing/ReportTestSupport.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

using tables::EngineError;
using testing::layoutPath;

std::string errorOf(const std::string& json) {
    try {
        parseLayout(QByteArray::fromStdString(json), "test.json");
    } catch (const EngineError& error) {
        return error.what();
    }
    return "(accepted)";
}

std::string detailWith(const std::string& element) {
    return R"({"bands": [{"kind": "detail", "height": 5, "elements": [)" + element + "]}]}";
}

TEST(LayoutLoader, ReadsEveryPart) {
    const ReportLayout layout = loadLayoutFile(layoutPath("invoice.json"));
    EXPECT_EQ(layout.name, "invoice");
    EXPECT_FALSE(layout.page.landscape);
    ASSERT_EQ(layout.bands.size(), 6u);
    EXPECT_EQ(layout.bands[2].kind, BandKind::ColumnHeader);
    const Band* detail = layout.band(BandKind::Detail);
    ASSERT_NE(detail, nullptr);
    ASSERT_EQ(detail->elements.size(), 5u);
    const Element& value = detail->elements[4];
    EXPECT_EQ(value.kind, ElementKind::Computed);
    EXPECT_EQ(value.expression.op, '*');
    EXPECT_EQ(value.expression.right.name, "PU");
    EXPECT_EQ(value.format, "#,##0.00");
    EXPECT_EQ(value.align, Align::Right);
    EXPECT_DOUBLE_EQ(value.x, 160);
    const Element& title = layout.band(BandKind::Title)->elements[1];
    EXPECT_TRUE(title.bold);
    EXPECT_DOUBLE_EQ(title.fontSize, 14);
    EXPECT_EQ(layout.band(BandKind::Summary)->elements[3].picture, "stamp");

    const ReportLayout groups = loadLayoutFile(layoutPath("groups.json"));
    EXPECT_EQ(groups.band(BandKind::GroupFooter)->elements[2].scope, Scope::Group);
    EXPECT_EQ(groups.band(BandKind::GroupHeader)->groupField, "SECTIA");

    const ReportLayout wide =
        parseLayout(R"({"page": {"orientation": "landscape", "margins": {"left": 5}},
                        "bands": []})",
                    "wide.json");
    EXPECT_TRUE(wide.page.landscape);
    EXPECT_DOUBLE_EQ(wide.page.width(), 297);
    EXPECT_DOUBLE_EQ(wide.page.marginLeft, 5);
    EXPECT_DOUBLE_EQ(wide.page.marginTop, 10);
}

TEST(LayoutLoader, FileErrorsNameFileBandAndElement) {
    const std::string badBand = layoutPath("bad_band.json");
    try {
        loadLayoutFile(badBand);
        FAIL() << "unknown band kind accepted";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "layout " + badBand + ", band 2: unknown band kind \"footnote\"");
    }
    const std::string missing = layoutPath("missing_field.json");
    try {
        loadLayoutFile(missing);
        FAIL() << "field element without a field accepted";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()), "layout " + missing +
                                                 ", band 1, element 2 (LPrice): missing "
                                                 "property \"field\"");
    }
    try {
        loadLayoutFile(layoutPath("no_such_layout.json"));
        FAIL() << "missing file accepted";
    } catch (const EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("no_such_layout.json: cannot read"),
                  std::string::npos);
    }
}

TEST(LayoutLoader, RefusesFaultyProperties) {
    const std::string at = "layout test.json, band 1, element 1";
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "pie", "x": 0, "y": 0, "w": 1, "h": 1})")),
              at + ": unknown element kind \"pie\"");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "label", "x": 0, "y": 0, "w": 1, "h": 1,
                                     "text": "a", "colour": "red"})")),
              at + ": unknown property \"colour\"");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "field", "field": "A", "x": 0, "y": 0, "w": 1,
                                     "h": 1, "format": "0,00"})")),
              at + ": unknown format \"0,00\"");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "computed", "expression": "A *", "x": 0, "y": 0,
                                     "w": 1, "h": 1})")),
              at + ": missing operand in expression \"A *\"");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "label", "text": "a", "x": 0, "y": 3, "w": 1,
                                     "h": 3})")),
              at + ": element reaches below the band's height");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "label", "text": "a", "x": "0", "y": 0, "w": 1,
                                     "h": 1})")),
              at + ": property \"x\" must be a number, 0 or more");
    EXPECT_EQ(errorOf(detailWith(R"({"kind": "sum", "field": "A", "scope": "page", "x": 0,
                                     "y": 0, "w": 1, "h": 1})")),
              at + ": scope must be \"report\" or \"group\", not \"page\"");
    EXPECT_EQ(errorOf(R"({"bands": [{"kind": "groupHeader", "height": 5}]})"),
              "layout test.json, band 1: missing property \"group\"");
    EXPECT_EQ(errorOf(R"({"bands": [{"kind": "groupFooter", "group": "A", "height": 5}]})"),
              "layout test.json: group footer on \"A\" has no group header");
    EXPECT_EQ(errorOf(R"({"page": {"orientation": "sideways"}, "bands": []})"),
              "layout test.json, page: orientation must be \"portrait\" or \"landscape\"");
    EXPECT_EQ(errorOf(R"({"bands": )").substr(0, 37), "layout test.json: not valid JSON at o");
    EXPECT_EQ(errorOf("{}"), "layout test.json: missing list \"bands\"");
}

}  // namespace
}  // namespace tvx::printing

// The banded report model (printing/ layer): a page setup and bands holding elements, all
// geometry in millimetres. A layout is static; the data rows, parameter texts, pictures and
// hidden names are given when a report is produced (ReportInputs).
#pragma once

#include <QImage>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tables/Decimal.h"

namespace tvx::printing {

struct PageSetup {
    bool landscape = false;
    double marginLeft = 10, marginTop = 10, marginRight = 10, marginBottom = 10;
    // A4 in millimetres, following the orientation.
    double width() const { return landscape ? 297.0 : 210.0; }
    double height() const { return landscape ? 210.0 : 297.0; }
};

enum class BandKind {
    Title,         // once, on the first page
    PageHeader,    // top of every page
    ColumnHeader,  // under the page header, on every page with detail rows
    GroupHeader,   // when the group key changes (outermost group first)
    Detail,        // once per data row
    GroupFooter,   // after the last row of a group, with the group's sums
    Summary,       // once, after the last row
    PageFooter,    // bottom of every page
};

enum class ElementKind { Label, Field, Computed, RowNumber, Sum, Picture, Line, Box };
enum class Align { Left, Center, Right };
// Sums and row numbers count over the whole report or restart with each group.
enum class Scope { Report, Group };

// One operand of a computed value: a field of the current row, a number, or a parameter.
struct Operand {
    enum class Kind { Field, Number, Parameter } kind = Kind::Number;
    std::string name;        // field or parameter name
    tables::Decimal number;  // Kind::Number
};

// "A", "A op B" with op one of + - * /. A single parameter operand gives its text as is.
struct Expression {
    Operand left;
    char op = 0;  // 0 when there is only the left operand
    Operand right;
};

struct Element {
    ElementKind kind = ElementKind::Label;
    std::string name;                   // optional; used by hidden names and error messages
    double x = 0, y = 0, w = 0, h = 0;  // relative to the band's top-left corner
    std::string text;                   // Label: text with {param}, {page}, {pages}
    std::string field;                  // Field, Sum
    std::string format;           // Field, Computed, Sum: "", "0.00", "#,##0.00", "dd.MM.yyyy"
    Expression expression;        // Computed
    Scope scope = Scope::Report;  // Sum, RowNumber
    std::string picture;          // Picture: the name of an image given at run time
    double fontSize = 9;          // points
    bool bold = false;
    Align align = Align::Left;
    bool grows = false;    // the height grows to fit the text wrapped at the element's width
    bool stretch = false;  // the bottom follows the band's bottom when the band grows (rules)
    bool visible = true;
};

struct Band {
    BandKind kind = BandKind::Detail;
    std::string name;
    double height = 0;
    std::string groupField;  // GroupHeader, GroupFooter: the key field
    bool visible = true;
    std::vector<Element> elements;
};

struct ReportLayout {
    std::string name;
    PageSetup page;
    std::vector<Band> bands;

    // First band of that kind, nullptr when the layout has none.
    const Band* band(BandKind kind) const;
};

// What is given when a report is produced.
struct ReportInputs {
    std::map<std::string, std::string> parameters;  // {NAME} in labels, $NAME in expressions
    std::map<std::string, QImage> pictures;         // by picture name; a missing one is hidden
    std::set<std::string> hidden;                   // names of bands and elements not printed
};

std::string_view bandKindName(BandKind kind);
std::optional<BandKind> bandKindFromName(std::string_view name);
std::string_view elementKindName(ElementKind kind);
std::optional<ElementKind> elementKindFromName(std::string_view name);

}  // namespace tvx::printing

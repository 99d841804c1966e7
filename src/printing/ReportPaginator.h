// Laying a report out on pages (printing/ layer): bands are placed top to bottom for the data
// rows, breaking pages when the next band does not fit, and every printed element becomes a
// PlacedItem with its absolute position in millimetres and its final text. The result is what
// the painters draw and what the tests compare, as a text dump.
#pragma once

#include <QImage>
#include <map>
#include <string>
#include <vector>

#include "printing/ReportLayout.h"
#include "tables/ResultSet.h"

namespace tvx::printing {

struct PlacedItem {
    BandKind band = BandKind::Detail;
    ElementKind kind = ElementKind::Label;
    double x = 0, y = 0, w = 0, h = 0;  // on the page, from its top-left corner
    std::string text;  // text kinds: final text, wrapped lines joined by '\n'; picture: its name
    double fontSize = 9;
    bool bold = false;
    Align align = Align::Left;
};

struct LaidOutPage {
    std::vector<PlacedItem> items;
};

struct LaidOutReport {
    PageSetup page;
    std::vector<LaidOutPage> pages;
    std::map<std::string, QImage> pictures;  // the images the picture items name
    std::string documentName;                // a saved copy is named after it ("Factura A45")
};

// Lays `layout` out over the rows of `rows` (null: a report without data) with `inputs`.
// Order on a page: page header, title (first page), column header (while rows remain),
// group headers, detail rows, group footers, summary (after the last row), page footer at the
// bottom. Labels take {NAME} from the parameters (a missing one prints empty), {page} and
// {pages}. Sums and row numbers run: a detail band shows the total so far, a group footer its
// group's total, a group header the group's start (0). Throws EngineError naming the report, band
// and element for a field missing from the data, a non-numeric sum or a failing computation.
LaidOutReport paginate(const ReportLayout& layout, const tables::ResultSet* rows,
                       const ReportInputs& inputs);

// One line per item: page, band, x, y, w, h (mm, two decimals), kind, quoted text.
std::string dumpReport(const LaidOutReport& report);

}  // namespace tvx::printing

// The grid model over a result set: titles, cell formats, sorting by a title click and the
// cursor following the grid's current row.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "ui/common/GridModel.h"

namespace tvx::ui {
namespace {

using tables::ColumnInfo;
using tables::Date;
using tables::Decimal;
using tables::ResultSet;
using tables::Value;

// A real mouse click on a column title.
void ClickTitle(QTableView& view, int section) {
    QWidget* titles = view.horizontalHeader()->viewport();
    const QPointF at(view.horizontalHeader()->sectionViewportPosition(section) + 5, 5);
    const QPointF global = titles->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(titles, &press);
    QApplication::sendEvent(titles, &release);
}

Value Num(const char* text) {
    return Value(*Decimal::parse(text));
}

ResultSet Invoices() {
    std::vector<ColumnInfo> columns = {
        {"NRFACT", 'C', 10, 0}, {"TOTAL", 'N', 12, 2}, {"DATAOUT", 'D', 8, 0}};
    std::vector<Value> cells = {
        "F3", Num("1234567.005"), Date::fromYmd(2024, 3, 5),  //
        "F1", Num("-2.345"),      Date::fromYmd(2024, 1, 9),  //
        "F2", Num("10"),          Value(),
    };
    return ResultSet(columns, cells);
}

TEST(GridModel, TitlesAndFormattedCells) {
    ResultSet rows = Invoices();
    ResultSetModel model;
    model.setResultSet(&rows, {{"NRFACT", "Numar", {}},
                               {"TOTAL", "Total", "#,##0.00"},
                               {"TOTAL", {}, "0.00"},
                               {"DATAOUT", "Data", "dd.MM.yyyy"}});
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Numar");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "TOTAL");
    const auto cell = [&](int r, int c) { return model.index(r, c).data().toString(); };
    EXPECT_EQ(cell(0, 1), "1,234,567.01");
    EXPECT_EQ(cell(0, 2), "1234567.01");
    EXPECT_EQ(cell(1, 1), "-2.35");
    EXPECT_EQ(cell(2, 2), "10.00");
    EXPECT_EQ(cell(0, 3), "05.03.2024");
    EXPECT_EQ(cell(2, 3), "");
    EXPECT_TRUE(model.index(0, 1).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
}

TEST(GridModel, EveryFieldUnderItsNameAndUnknownFieldsRefused) {
    ResultSet rows = Invoices();
    ResultSetModel model;
    model.setResultSet(&rows);
    ASSERT_EQ(model.columnCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "TOTAL");
    EXPECT_EQ(model.index(1, 1).data().toString(), "-2.345");
    EXPECT_THROW(model.setResultSet(&rows, {{"LIPSA", {}, {}}}), tables::EngineError);
    EXPECT_EQ(model.columnCount(), 3);  // the old binding stays
    EXPECT_EQ(FormatCell(Num("999.995"), "#,##0.00"), "1,000.00");
    EXPECT_EQ(FormatCell(Num("-1234"), "#,##0"), "-1,234");
}

TEST(GridModel, TitleClickSortsAndCursorFollowsTheCurrentRow) {
    ResultSet rows = Invoices();
    ResultSetModel model;
    QTableView view;
    model.setResultSet(&rows, {{"NRFACT", {}, {}}, {"TOTAL", {}, "0.00"}});
    model.attach(&view);
    EXPECT_EQ(model.index(0, 0).data().toString(), "F3");  // attaching does not sort

    view.resize(400, 300);
    view.show();
    const auto ascending = [&] {
        return view.horizontalHeader()->sortIndicatorOrder() == Qt::AscendingOrder;
    };
    ClickTitle(view, 0);
    EXPECT_EQ(view.horizontalHeader()->sortIndicatorSection(), 0);
    EXPECT_EQ(model.index(0, 0).data().toString(), ascending() ? "F1" : "F3");
    EXPECT_EQ(model.index(2, 0).data().toString(), ascending() ? "F3" : "F1");
    ClickTitle(view, 1);
    const QString firstAfterOne = model.index(0, 0).data().toString();
    ClickTitle(view, 1);  // a second click turns the order round
    EXPECT_EQ(model.index(0, 0).data().toString(), ascending() ? "F1" : "F3");
    EXPECT_EQ(model.index(0, 0).data().toString() == "F1", firstAfterOne == "F3");
    EXPECT_EQ(model.index(0, 1).data().toString(), ascending() ? "-2.35" : "1234567.01");

    view.setCurrentIndex(model.index(2, 1));
    EXPECT_EQ(rows.position(), 2u);
    EXPECT_EQ(rows.asText("NRFACT"), model.index(2, 0).data().toString().toStdString());
    rows.moveTo(1);
    model.showCursor();
    EXPECT_EQ(view.currentIndex().row(), 1);
}

}  // namespace
}  // namespace tvx::ui

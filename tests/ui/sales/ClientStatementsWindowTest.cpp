// The client statement window and the selection dialog on their main roads: the first buyer
// shown with its totals, another buyer chosen, the statement previewed; the selection dialog
// returning the typed beginning of a name and its dates.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTableView>

#include "SalesListSupport.h"
#include "ui/sales/TFiseClF.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::WhenModalNamed;

class ClientStatementsWindow : public testing::SalesListTest {};

TEST_F(ClientStatementsWindow, ShowsEachBuyerWithItsTotalsAndPreviewsItsStatement) {
    Prepare({"MAGAZIN"});
    core::SaveNewInvoice(Db(), Set(), FilterInvoice(7, 2, "ALFA SRL"));
    core::SaveNewInvoice(Db(), Set(), FilterInvoice(8, 1, "ALFA SRL"));
    core::SaveNewInvoice(Db(), Set(), FilterInvoice(9, 1, "BETA SRL"));
    TFiseClF window(fx.session);
    QString alfa, beta;
    int rows = -1;
    bool previewed = false;
    WhenModalNamed("TFiseClF", [&](QWidget* w) {
        alfa = window.totalInvoiced();
        rows = Child<QTableView>(w, "FactGrid")->model()->rowCount();
        Child<QComboBox>(w, "SocBox")->setCurrentText("BETA SRL");
        beta = window.totalInvoiced();
        WhenModalNamed("TPreview", [&](QWidget* preview) {
            previewed = true;
            CloseModal(preview);
        });
        Child<QPushButton>(w, "BitBtn3")->click();
        CloseModal(w);
    });
    window.OpenClientStatements();
    EXPECT_EQ(alfa, "178.50");
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(beta, "59.50");
    EXPECT_TRUE(previewed);
}

TEST_F(ClientStatementsWindow, SelectionReturnsTheTypedBuyerAndDates) {
    TSelectFactF dialog;
    WhenModalNamed("TSelectFactF", [](QWidget* w) {
        auto* box = Child<QComboBox>(w, "SocBox");
        EXPECT_EQ(box->count(), 2);
        box->setEditText("ALF");
        Child<QDateEdit>(w, "DeLa")->setDate(QDate(2026, 1, 1));
        Child<QPushButton>(w, "Listeaza")->click();
    });
    ASSERT_TRUE(dialog.Selecteaza({core::kAllBuyers, "ALFA SRL"}));
    EXPECT_EQ(dialog.selection().buyer, "ALF");
    EXPECT_EQ(dialog.selection().from, tables::Date::fromYmd(2026, 1, 1));
}

}  // namespace
}  // namespace tvx::ui

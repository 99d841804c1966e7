// "Preluare e-Factura" in the incoming documents window, the main road: a chosen file is
// previewed with its lines and proposed prices, a sale price typed in the grid moves the
// mark-up, "&Memoreaza" records the document with its N.I.R. and the window lists it.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <fstream>
#include <memory>

#include "../UiTestSupport.h"
#include "core/einvoice/ReceivedEInvoiceTestSupport.h"
#include "tables/Database.h"
#include "ui/purchases/TFactInF.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::WhenModalNamed;

TEST(EInvoiceImportWindow, AnInvoiceIsPreviewedEditedAndRecorded) {
    testing::SessionFixture fx;
    fx.session.locations.setNames({"MAGAZIN"});
    core::Settings& settings = fx.session.settings();
    settings.writeSetting("UMS", "BUC", "H87 - BUCATI");
    settings.writeSetting("UMS", "ORA", "HUR - ORA");
    settings.writeSetting("VAR", "ADAOSP", "25");
    const std::string file = fx.folder.path().toStdString() + "/4242.xml";
    std::ofstream(file, std::ios::binary) << core::receivedtest::Ubl().xml();
    TFactInF::setEInvoiceChooser([&](QWidget*) { return QString::fromStdString(file); });

    TFactInF form{fx.session};
    QString notice;
    WhenModalNamed("TFactInF", [&](QWidget* w) {
        WhenModalNamed("TFPreluareEFactF", [&](QWidget* preview) {
            auto* grid = Child<QTableWidget>(preview, "LiniiGrid");
            ASSERT_EQ(grid->rowCount(), 2);
            EXPECT_EQ(grid->item(0, 1)->text(), "FILTRU ULEI");
            EXPECT_EQ(grid->item(0, 10)->text(), "37.19");
            EXPECT_TRUE(Child<QLabel>(preview, "Antet")->text().contains("FURNIZORUL SEF SRL"));
            grid->item(1, 10)->setText("71.40");
            EXPECT_EQ(grid->item(1, 9)->text(), "20");
            EXPECT_FALSE(Child<QPlainTextEdit>(preview, "Mesaje")->toPlainText().contains("[!]"));
            WhenModalNamed("TErori", [&](QWidget* modal) {
                notice = Child<QLabel>(modal, "Text")->text();
                Child<QPushButton>(modal, "BE4")->click();
            });
            Child<QPushButton>(preview, "Memoreaza")->click();
        });
        Child<QPushButton>(w, "PreluareEFactura")->click();
        EXPECT_EQ(Child<QTableView>(w, "IstoricIntrari")->model()->rowCount(), 1);
        CloseModal(w);
    });
    form.Open();
    TFactInF::setEInvoiceChooser({});
    EXPECT_TRUE(
        notice.startsWith("Factura FX 123 din 10.03.2026 a furnizorului FURNIZORUL SEF SRL "
                          "a fost preluata cu N.I.R. nr."))
        << notice.toStdString();
    auto sale = fx.session.db().query("SELECT PRETAT FROM ProdNIR WHERE PRODUS='MANOPERA'");
    ASSERT_EQ(sale.rowCount(), 1u);
    EXPECT_EQ(sale.at(0, 0).number(), *tables::Decimal::parse("71.40"));
}

}  // namespace
}  // namespace tvx::ui

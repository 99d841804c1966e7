// "Listeaza deviz" in "Facturi de iesire - Vanzari" for a car service: the service order dialog
// opens for the current invoice; once saved, the work estimate shows the order and the invoice
// lines in preview, and the invoice is not counted as printed; a cancelled order prints nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "../UiTestSupport.h"
#include "SalesListSupport.h"
#include "core/common/PeriodChoice.h"
#include "core/sales/InvoicePosting.h"
#include "tables/Database.h"
#include "ui/printing/TPreview.h"
#include "ui/sales/TFactOutF.h"
#include "ui/workshop/TAddComanda.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModalNamed;

std::vector<std::string> Texts(const printing::LaidOutReport& report) {
    std::vector<std::string> texts;
    for (const auto& page : report.pages)
        for (const auto& item : page.items) texts.push_back(item.text);
    return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class EstimatePrintTest : public testing::SalesListTest {
  protected:
    void SetUp() override {
        Set().writeSetting("SETARI", "DOMENIU", "SERVICE AUTO");
        Set().writeSetting("SETARI", "DENUMIRE", "SERVICE BETA SRL");
        Prepare({"MAGAZIN"});
        Set().setIndex("COMANDANR", "5");
        invoice_ = core::SaveNewInvoice(Db(), Set(), FilterInvoice(7, 2));
        form.Bind(fx.session);
        order.Bind(fx.session);
        form.setServiceOrderEditor([this](long long id) -> std::optional<core::ServiceOrder> {
            if (!order.EditServiceOrder(QString::number(id))) return std::nullopt;
            return order.order();
        });
        // The preview's "Listeaza" hands the report over instead of printing it.
        TPreview::setPrintHook(
            [this](QWidget*, printing::ReportJob& job) { printed = Texts(job.report()); });
    }
    void TearDown() override {
        TPreview::setPrintHook({});
        SalesListTest::TearDown();
    }
    tables::Decimal Printed() {
        return Db()
            .query("SELECT LISTARI FROM FactOut WHERE IDFACTO=:id", {{"id", invoice_}})
            .asNumber("LISTARI");
    }
    // Opens the list and presses "Listeaza deviz"; `inOrder` drives the order dialog.
    void PressEstimate(std::function<void(QWidget*)> inOrder) {
        WhenModalNamed("TFactOutF", [=](QWidget* w) {
            auto* button = Child<QPushButton>(w, "ComandaBut");
            EXPECT_TRUE(button->isVisible());
            EXPECT_TRUE(button->isEnabled());
            WhenModalNamed("TAddComanda", inOrder);
            button->click();
            if (w->isVisible()) CloseModal(w);
        });
        form.OpenInvoiceList(false);
    }

    long long invoice_ = 0;
    TFactOutF form;
    TAddComanda order;
    std::vector<std::string> printed;
};

TEST_F(EstimatePrintTest, SavedOrderIsPrintedOnTheEstimateWithTheInvoiceLines) {
    auto previewed = std::make_shared<int>(0);
    PressEstimate([this, previewed](QWidget* dialog) {
        EXPECT_EQ(Child<QLineEdit>(dialog, "ComandaNr")->text(), "5");
        Child<QComboBox>(dialog, "AutoTip")->setEditText("dacia logan");
        Child<QLineEdit>(dialog, "NrCirc")->setText("CJ 01 ABC");
        Child<QComboBox>(dialog, "StareTehnica")->setEditText("buna");
        WhenModalNamed("TPreview", [previewed](QWidget* preview) {
            ++*previewed;
            Child<QPushButton>(preview, "PrintBut")->click();
            CloseModal(preview);
        });
        Child<QPushButton>(dialog, "MemoBut")->click();
    });
    EXPECT_EQ(*previewed, 1);
    ASSERT_FALSE(printed.empty());
    const std::string today = core::Today().toString();
    for (const std::string& text :
         {std::string("DEVIZ DE LUCRARI"), std::string("SERVICE BETA SRL"),
          std::string("DACIA LOGAN"), std::string("CJ 01 ABC"), std::string("BUNA"),
          std::string("CLIENT SA"), "Nr.5 din " + today, std::string("Filtru"),
          std::string("119.00")})
        EXPECT_TRUE(Has(printed, text)) << text;
    EXPECT_EQ(Set().peekIndex("COMANDANR"), "7");  // the order's number and the next one
    EXPECT_EQ(Printed(), D("0"));                  // the estimate is not the invoice
}

TEST_F(EstimatePrintTest, CancelledOrderPrintsNothing) {
    // A preview opened by mistake is closed and counted; the watch ends with the test.
    int previewed = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&previewed] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal->objectName() == "TPreview") {
            ++previewed;
            CloseModal(modal);
        }
    });
    watch.start();
    PressEstimate([](QWidget* dialog) { PressKey(Qt::Key_Escape, dialog); });
    EXPECT_EQ(previewed, 0);
    EXPECT_TRUE(printed.empty());
    EXPECT_EQ(Set().peekIndex("COMANDANR"), "6");  // the number offered is spent
}

}  // namespace
}  // namespace tvx::ui

// Printing invoices from "Facturi de iesire - Vanzari": "Factura" in preview (the preview opens
// and the document counts as printed once), at once through the print hook (one count per
// printout whatever the copies), a failing printer (its message, no count), no copies (the
// balloon), "Fact.+chitanta" with and without a cash receipt, several selected documents
// printed without preview, and "Chitanta": the balloon without a cash receipt, else the receipt
// page in preview or through the print hook, never counted.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <memory>

#include "../UiTestSupport.h"
#include "SalesListSupport.h"
#include "core/admin/Locations.h"
#include "core/reports/PrintedDocuments.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/TPreview.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui {
namespace {

using tables::Decimal;
using testing::Child;
using testing::CloseModal;
using testing::WhenModalNamed;

bool HasText(const printing::LaidOutReport& report, const std::string& text) {
    for (const auto& page : report.pages)
        for (const auto& item : page.items)
            if (item.text == text) return true;
    return false;
}

// What the print hook was given, one entry per call.
struct Printout {
    long long copies = 0;
    bool started = false;
    bool receipt = false;
    bool invoice = false;
    long long stamps = 0;  // picture places printed
};

long long Pictures(const printing::LaidOutReport& report) {
    long long count = 0;
    for (const auto& page : report.pages)
        for (const auto& item : page.items)
            if (item.kind == printing::ElementKind::Picture) ++count;
    return count;
}

class InvoicePrintTest : public testing::SalesListTest {
  protected:
    void SetUp() override {
        Prepare({"MAGAZIN"});
        first_ = core::SaveNewInvoice(Db(), Set(), FilterInvoice(7, 1));
        second_ = core::SaveNewInvoice(Db(), Set(), FilterInvoice(8, 1));
        form.Bind(fx.session);
        form.setPrintHook([this](printing::ReportJob& job, int copies) {
            if (failing) throw tables::EngineError("Imprimanta nu raspunde");
            const QString pdf = fx.folder.filePath("out.pdf");
            job.writePdf(pdf.toStdString());
            printouts.push_back({copies, job.hasStarted(), HasText(job.report(), "CHITANTA"),
                                 HasText(job.report(), "TOTAL DE PLATA"), Pictures(job.report())});
            linesDuringPrint = std::filesystem::exists(core::InvoiceLinesFile(Db()));
        });
    }
    Decimal Printed(long long id) {
        return Db()
            .query("SELECT LISTARI FROM FactOut WHERE IDFACTO=:id", {{"id", id}})
            .asNumber("LISTARI");
    }
    // Runs the list with `act`; the preview tick and the copies are set first.
    void Open(bool preview, const char* copies, std::function<void(QWidget*)> act) {
        auto ran = std::make_shared<bool>(false);
        WhenModalNamed("TFactOutF", [=](QWidget* w) {
            *ran = true;
            Child<QCheckBox>(w, "PreviewCheck")->setChecked(preview);
            Child<QLineEdit>(w, "NrEx")->setText(copies);
            act(w);
            if (w->isVisible()) CloseModal(w);
        });
        form.OpenInvoiceList(false);
        EXPECT_TRUE(*ran);
    }
    static QTableView* Documents(QWidget* w) { return Child<QTableView>(w, "SMDBGrid2"); }
    static void Click(QWidget* w, const char* button) { Child<QPushButton>(w, button)->click(); }

    // A cash receipt of 59.50 for the last document.
    void AddCashReceipt() {
        core::ReceiptEntry entry;
        entry.open(*core::ReadReceiptDocument(Db(), second_), fx.session.profile, Set(),
                   tables::Date::fromYmd(2026, 2, 4));
        entry.sum = D("59.50");
        entry.text = "contravaloare factura";
        ASSERT_FALSE(entry.check());
        core::AddReceipt(Db(), Set(), second_, entry);
    }

    long long first_ = 0, second_ = 0;
    TFactOutF form;
    std::vector<Printout> printouts;
    bool failing = false;
    bool linesDuringPrint = false;
};

TEST_F(InvoicePrintTest, PreviewOpensAndCountsThePrintoutOnce) {
    auto previewed = std::make_shared<int>(0);
    auto countWhileOpen = std::make_shared<Decimal>();
    auto proposed = std::make_shared<int>(0);  // the copies "&Listeaza" of the preview offers
    TPreview::setPrintHook([proposed](QWidget* preview, printing::ReportJob&) {
        *proposed = qobject_cast<TPreview*>(preview)->copies();
    });
    Open(true, "2", [&](QWidget* w) {
        EXPECT_TRUE(Child<QPushButton>(w, "ListFact")->isEnabled());
        EXPECT_TRUE(Child<QPushButton>(w, "ListFactChit")->isEnabled());
        EXPECT_TRUE(Child<QPushButton>(w, "ListChit")->isEnabled());
        WhenModalNamed("TPreview", [&, previewed, countWhileOpen](QWidget* preview) {
            ++*previewed;
            *countWhileOpen = Printed(second_);
            Child<QPushButton>(preview, "PrintBut")->click();
            CloseModal(preview);
        });
        Click(w, "ListFact");  // the last document is current
    });
    TPreview::setPrintHook({});
    EXPECT_EQ(*previewed, 1);
    EXPECT_EQ(*proposed, 2);  // "Nr.ex."
    EXPECT_EQ(*countWhileOpen, D("1"));
    EXPECT_EQ(Printed(second_), D("1"));
    EXPECT_EQ(Printed(first_), D("0"));
    EXPECT_TRUE(printouts.empty());
    EXPECT_FALSE(std::filesystem::exists(core::InvoiceLinesFile(Db())));
}

TEST_F(InvoicePrintTest, PrintingAtOnceCountsEachPrintoutNotEachCopy) {
    Open(false, "3", [&](QWidget* w) {
        Click(w, "ListFact");
        Click(w, "ListFact");
    });
    ASSERT_EQ(printouts.size(), 2u);
    EXPECT_EQ(printouts[0].copies, 3);
    EXPECT_TRUE(printouts[0].started);
    EXPECT_FALSE(printouts[0].receipt);
    EXPECT_FALSE(linesDuringPrint);  // the body table is gone once laid out
    EXPECT_TRUE(QFile::exists(fx.folder.filePath("out.pdf")));
    EXPECT_EQ(Printed(second_), D("2"));
    EXPECT_EQ(Printed(first_), D("0"));
}

TEST_F(InvoicePrintTest, FailingPrinterShowsItsMessageAndCountsNothing) {
    failing = true;
    auto message = std::make_shared<QString>();
    Open(false, "1", [&](QWidget* w) {
        WhenModalNamed("TErori", [message](QWidget* m) {
            *message = Child<QLabel>(m, "Text")->text();
            CloseModal(m);
        });
        Click(w, "ListFact");
    });
    EXPECT_EQ(*message, "Imprimanta nu raspunde");
    EXPECT_EQ(Printed(second_), D("0"));
    EXPECT_FALSE(std::filesystem::exists(core::InvoiceLinesFile(Db())));
}

TEST_F(InvoicePrintTest, NoCopiesShowsTheBalloonAndPrintsNothing) {
    for (const char* copies : {"0", ""}) {
        Open(false, copies, [&](QWidget* w) {
            Click(w, "ListFactChit");
            const auto& balloon = ProblemBalloon::instance();
            EXPECT_TRUE(balloon.isVisible());
            EXPECT_EQ(balloon.message(), "Nu ati specificat numarul de exemplare!");
            ASSERT_TRUE(balloon.control());
            EXPECT_EQ(balloon.control()->objectName(), "NrEx");
            ProblemBalloon::instance().hide();
        });
    }
    EXPECT_TRUE(printouts.empty());
    EXPECT_EQ(Printed(second_), D("0"));
}

TEST_F(InvoicePrintTest, ReceiptBandOnlyWithACashReceiptAndItsButton) {
    Open(false, "1", [&](QWidget* w) { Click(w, "ListFactChit"); });  // no receipt yet
    core::ReceiptEntry entry;
    entry.open(*core::ReadReceiptDocument(Db(), second_), fx.session.profile, Set(),
               tables::Date::fromYmd(2026, 2, 4));
    entry.sum = D("59.50");
    entry.text = "contravaloare factura";
    ASSERT_FALSE(entry.check());
    core::AddReceipt(Db(), Set(), second_, entry);
    Open(false, "1", [&](QWidget* w) {
        Click(w, "ListFact");
        Click(w, "ListFactChit");
    });
    ASSERT_EQ(printouts.size(), 3u);
    EXPECT_FALSE(printouts[0].receipt);
    EXPECT_FALSE(printouts[1].receipt);
    EXPECT_TRUE(printouts[2].receipt);
    EXPECT_EQ(Printed(second_), D("3"));
}

TEST_F(InvoicePrintTest, SeveralSelectedDocumentsPrintWithoutPreview) {
    auto previewed = std::make_shared<bool>(false);
    auto armed = std::make_shared<bool>(true);  // no watcher left behind for later tests
    Open(true, "2", [&](QWidget* w) {
        WhenModalNamed("TPreview", [previewed, armed](QWidget* preview) {
            if (!*armed) return;
            *previewed = true;
            CloseModal(preview);
        });
        QTableView* grid = Documents(w);
        grid->selectAll();
        ASSERT_EQ(grid->selectionModel()->selectedRows().size(), 2);
        Click(w, "ListFact");
        EXPECT_TRUE(Child<QCheckBox>(w, "PreviewCheck")->isChecked());  // put back
        EXPECT_EQ(grid->model()->rowCount(), 2);
    });
    *armed = false;
    EXPECT_FALSE(*previewed);
    ASSERT_EQ(printouts.size(), 2u);
    EXPECT_EQ(printouts[1].copies, 2);
    EXPECT_EQ(Printed(first_), D("1"));
    EXPECT_EQ(Printed(second_), D("1"));
}

TEST_F(InvoicePrintTest, ReceiptAloneWithoutACashReceiptShowsTheBalloon) {
    Open(false, "1", [&](QWidget* w) {
        Click(w, "ListChit");
        const auto& balloon = ProblemBalloon::instance();
        EXPECT_TRUE(balloon.isVisible());
        EXPECT_EQ(balloon.message(), "Alegeti mai intai o chitanta!");
        ASSERT_TRUE(balloon.control());
        EXPECT_EQ(balloon.control()->objectName(), "ListChit");
        ProblemBalloon::instance().hide();
    });
    EXPECT_TRUE(printouts.empty());
}

TEST_F(InvoicePrintTest, ReceiptAlonePrintsThroughTheHookAndCountsNothing) {
    AddCashReceipt();
    Open(false, "3", [&](QWidget* w) { Click(w, "ListChit"); });
    ASSERT_EQ(printouts.size(), 1u);
    EXPECT_EQ(printouts[0].copies, 1);  // the page holds the three copies itself
    EXPECT_TRUE(printouts[0].started);
    EXPECT_TRUE(printouts[0].receipt);
    EXPECT_FALSE(printouts[0].invoice);
    EXPECT_EQ(Printed(second_), D("0"));

    auto previewed = std::make_shared<int>(0);
    Open(true, "1", [&](QWidget* w) {
        WhenModalNamed("TPreview", [previewed](QWidget* preview) {
            ++*previewed;
            CloseModal(preview);
        });
        Click(w, "ListChit");
    });
    EXPECT_EQ(*previewed, 1);
    EXPECT_EQ(printouts.size(), 1u);
    EXPECT_EQ(Printed(second_), D("0"));
}

TEST_F(InvoicePrintTest, ReceiptAloneCarriesTheStampOnlyWhenTicked) {
    AddCashReceipt();
    QImage stamp(20, 10, QImage::Format_RGB32);
    stamp.fill(Qt::red);
    ASSERT_TRUE(stamp.save(QString::fromStdString((fx.session.dataDir() / "Stamp.jpg").string())));
    for (const bool ticked : {true, false}) {
        Open(false, "1", [&](QWidget* w) {
            auto* box = Child<QCheckBox>(w, "StampCheck");
            ASSERT_TRUE(box->isEnabled());
            box->setChecked(ticked);
            Click(w, "ListChit");
        });
    }
    ASSERT_EQ(printouts.size(), 2u);
    EXPECT_EQ(printouts[0].stamps, 3);  // one on each copy of the receipt
    EXPECT_EQ(printouts[1].stamps, 0);
}

}  // namespace
}  // namespace tvx::ui

// The receipt page and the delivery note prepared from stored data: a cash receipt of a stored
// invoice printed three times on one page with the texts its labels bind, with and without the
// stamp; a missing receipt refused; a VAT payer's note printing the entry price without VAT,
// with Aviz.dbf gone afterwards also when a step fails; the account a note prints; and the note
// shown in the preview, or its error in the message window.
#include <gtest/gtest.h>

#include <QLabel>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "../UiTestSupport.h"
#include "../sales/SalesListSupport.h"
#include "core/admin/BankAccounts.h"
#include "core/admin/CompanyProfile.h"
#include "core/common/Schema.h"
#include "core/reports/DeliveryNoteFile.h"
#include "core/reports/PrintedDocuments.h"
#include "core/sales/InvoicePosting.h"
#include "core/sales/Receipts.h"
#include "support/PdfText.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "ui/printing/DeliveryNoteReport.h"
#include "ui/printing/ReceiptReport.h"

namespace tvx::ui {
namespace {

using tables::Date;
using testing::Child;
using testing::CloseModal;
using testing::WhenModalNamed;

// `text` without its blanks and line breaks: a wrapped label still compares equal.
std::string Squeezed(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\n'; }),
        text.end());
    return text;
}

size_t ItemsWith(const printing::LaidOutReport& report, const std::string& text) {
    size_t count = 0;
    for (const auto& page : report.pages)
        for (const auto& item : page.items)
            if (Squeezed(item.text) == Squeezed(text)) ++count;
    return count;
}

size_t Pictures(const printing::LaidOutReport& report) {
    size_t count = 0;
    for (const auto& page : report.pages)
        count += std::count_if(page.items.begin(), page.items.end(), [](const auto& item) {
            return item.kind == printing::ElementKind::Picture;
        });
    return count;
}

class ReceiptPageTest : public testing::SalesListTest {
  protected:
    void SetUp() override {
        Prepare({"MAGAZIN"});
        invoice_ = core::SaveNewInvoice(Db(), Set(), FilterInvoice(7, 2));
        // The supplier block as an earlier company profile left it on the invoice.
        Db().execute(
            "UPDATE FactOut SET SOC='FIRMA MEA SRL', RJ='J12/34/2020', CUI='RO123',"
            " ADRESA='Cluj Str. Mare 1', JUD='CLUJ' WHERE IDFACTO=:id",
            {{"id", invoice_}});
        core::ReceiptEntry entry;
        entry.open(*core::ReadReceiptDocument(Db(), invoice_), fx.session.profile, Set(),
                   Date::fromYmd(2026, 2, 4));
        entry.sum = D("119.00");
        entry.text = "contravaloare factura";
        ASSERT_FALSE(entry.check());
        core::AddReceipt(Db(), Set(), invoice_, entry);
        receipt_ = Db().query("SELECT IDCHIT FROM ChitOut WHERE IDFACTO=:id", {{"id", invoice_}})
                       .asNumber("IDCHIT")
                       .toLongLong();
    }
    long long invoice_ = 0, receipt_ = 0;
};

TEST_F(ReceiptPageTest, ShowsTheSameReceiptThreeTimesOnOnePage) {
    const printing::LaidOutReport report =
        PrepareReceiptReport(Db(), fx.session.profile, invoice_, receipt_, QImage());
    ASSERT_EQ(report.pages.size(), 1u);
    const core::DocumentLabels labels =
        core::BindDocumentLabels(Db(), fx.session.profile, invoice_, receipt_);
    int receiptRows = 0;
    for (const auto& row : labels.rows) {
        if (row.label.rfind("LChit", 0) != 0 || !row.text || row.text->empty()) continue;
        ++receiptRows;
        EXPECT_EQ(ItemsWith(report, *row.text), 3u) << row.label << ": " << *row.text;
    }
    EXPECT_EQ(receiptRows, 12);  // every receipt row has a text
    EXPECT_EQ(report.documentName.rfind("Chitanta seria ", 0), 0u) << report.documentName;
    EXPECT_EQ(ItemsWith(report, "CHITANTA"), 3u);
    EXPECT_EQ(Pictures(report), 0u);

    const std::string text = tvx::testing::PdfText(report);
    for (const char* part : {"FIRMA MEA SRL", "J12/34/2020", "CLIENT SA CIF RO555", "119.00",
                             "contravaloare factura"}) {
        size_t count = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
            ++count;
        EXPECT_EQ(count, 3u) << part;
    }
}

TEST_F(ReceiptPageTest, StampOnEveryBlockWhenGiven) {
    QImage stamp(8, 8, QImage::Format_RGB32);
    stamp.fill(Qt::blue);
    const printing::LaidOutReport report =
        PrepareReceiptReport(Db(), fx.session.profile, invoice_, receipt_, stamp);
    EXPECT_EQ(Pictures(report), 3u);
    ASSERT_EQ(report.pictures.count("stamp"), 1u);
    EXPECT_EQ(report.pictures.at("stamp").pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(ReceiptPageTest, MissingReceiptIsRefusedNamingItsTable) {
    try {
        PrepareReceiptReport(Db(), fx.session.profile, invoice_, receipt_ + 100, QImage());
        FAIL() << "a missing receipt was printed";
    } catch (const tables::EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("ChitOut"), std::string::npos) << error.what();
    }
}

const core::DeliveryNoteKey kNote{"AVIZ", 12, Date::fromYmd(2026, 3, 5)};

class DeliveryNoteReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.session.profile.denumire = "Firma Mea SRL";
        fx.session.profile.codFisc = "RO123";
        fx.session.profile.avizSeria = "AVZ";
        Db().execute(
            "INSERT INTO CapFise (IDCAP, GESTIUNE, PRODUS, UM, PRETIN, PRETOUT) VALUES"
            " (1, 'MAGAZIN', 'SURUB M8', 'BUC', 119, 119)");
        Db().execute(
            "INSERT INTO Fise (IDFISA, IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTOUT) VALUES"
            " (1, 1, 'IESIRE', :doc, :nr, :d, 3)",
            {{"doc", kNote.docJus}, {"nr", kNote.nrDoc}, {"d", kNote.dinData}});
    }
    tables::Database& Db() { return fx.session.db(); }
    bool LinesTableExists() { return std::filesystem::exists(core::DeliveryNoteLinesFile(Db())); }
    printing::LaidOutReport Prepare() {
        return PrepareDeliveryNoteReport(Db(), fx.session.profile, fx.session.settings(), 19,
                                         "RO31BTRL0123456789012345", kNote);
    }

    testing::SessionFixture fx;
};

TEST_F(DeliveryNoteReportTest, VatPayerPrintsTheEntryPriceWithoutVat) {
    const printing::LaidOutReport report = Prepare();
    ASSERT_EQ(report.pages.size(), 1u);
    EXPECT_EQ(ItemsWith(report, "SURUB M8"), 1u);
    EXPECT_EQ(ItemsWith(report, "3.00"), 1u);  // the quantity as the lines table holds it
    EXPECT_EQ(ItemsWith(report, "100.00"), 1u);
    EXPECT_EQ(ItemsWith(report, "119.00"), 1u);
    EXPECT_EQ(ItemsWith(report, "AVZ"), 1u);
    EXPECT_EQ(ItemsWith(report, "05.03.2026"), 1u);
    EXPECT_EQ(ItemsWith(report, "RO31BTRL0123456789012345"), 1u);
    EXPECT_FALSE(LinesTableExists());

    fx.session.profile.codFisc = "123";  // no VAT payer: the entry price stays
    const printing::LaidOutReport plain = Prepare();
    EXPECT_EQ(ItemsWith(plain, "100.00"), 0u);
    EXPECT_EQ(ItemsWith(plain, "119.00"), 2u);
    EXPECT_FALSE(LinesTableExists());
}

TEST_F(DeliveryNoteReportTest, LinesTableIsGoneAlsoWhenAStepFails) {
    std::filesystem::remove(core::TableFile(Db(), "CapFise"));
    EXPECT_THROW(Prepare(), tables::EngineError);
    EXPECT_FALSE(LinesTableExists());
}

TEST_F(DeliveryNoteReportTest, NotePrintsTheFirstAccountInOrder) {
    EXPECT_EQ(core::FirstCompanyAccount(Db()), "");
    Db().execute(
        "INSERT INTO Conturi (IDCONT, CONT, BANCA) VALUES (1, 'RO49BRDE0000000000000002', '')");
    Db().execute(
        "INSERT INTO Conturi (IDCONT, CONT, BANCA) VALUES (2, 'RO31BTRL0123456789012345', '')");
    EXPECT_EQ(core::FirstCompanyAccount(Db()), "RO31BTRL0123456789012345");
}

TEST_F(DeliveryNoteReportTest, PrintShowsThePreviewAndCleansUp) {
    auto pages = std::make_shared<QString>();
    WhenModalNamed("TPreview", [pages](QWidget* preview) {
        *pages = Child<QLabel>(preview, "PageLabel")->text();
        CloseModal(preview);
    });
    EXPECT_TRUE(PrintDeliveryNote(fx.session, kNote, nullptr));
    EXPECT_FALSE(pages->isEmpty());
    EXPECT_FALSE(LinesTableExists());
}

TEST_F(DeliveryNoteReportTest, PrintShowsTheEngineErrorInstead) {
    std::filesystem::remove(core::TableFile(Db(), "Fise"));
    auto message = std::make_shared<QString>();
    WhenModalNamed("TErori", [message](QWidget* m) {
        *message = Child<QLabel>(m, "Text")->text();
        CloseModal(m);
    });
    EXPECT_FALSE(PrintDeliveryNote(fx.session, kNote, nullptr));
    EXPECT_TRUE(message->contains("Fise")) << message->toStdString();
    EXPECT_FALSE(LinesTableExists());
}

}  // namespace
}  // namespace tvx::ui

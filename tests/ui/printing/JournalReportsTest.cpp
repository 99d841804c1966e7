// The printed journals read back from their PDF: titles, period and month lines, carried lines
// and totals with two decimals, for a period with documents and for an empty one (headings and
// zero totals); the purchase journal's work table gone afterwards; and the export window
// writing the invoices to collect to a chosen file and for viewing.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "../UiTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "support/PdfText.h"
#include "tables/Database.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/printing/JournalReports.h"
#include "ui/printing/TPreview.h"
#include "ui/reports/TExportF.h"

namespace tvx::ui {
namespace {

using tables::Date;
using testing::CloseModal;

// The texts of the items printed on the same line as the last item reading `key` (first page), left
// to right, joined by one blank: what a reader sees as the line.
std::string LineOf(const printing::LaidOutReport& report, const std::string& key) {
    const auto& items = report.pages.at(0).items;
    const auto found =
        std::find_if(items.rbegin(), items.rend(),
                     [&](const printing::PlacedItem& item) { return item.text == key; });
    if (found == items.rend()) return "(no " + key + ")";
    std::vector<const printing::PlacedItem*> line;
    for (const auto& item : items)
        if (!item.text.empty() && std::abs(item.y - found->y) < 0.6) line.push_back(&item);
    std::sort(line.begin(), line.end(), [](auto* a, auto* b) { return a->x < b->x; });
    std::string text;
    for (const auto* item : line) text += (text.empty() ? "" : " ") + item->text;
    return text;
}

QString FileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class JournalReportsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fx.session.settings().writeSetting("SETARI", "DENUMIRE", "FIRMA TEST SRL");
        fx.session.settings().writeSetting("SETARI", "CODFISC", "RO123");
        fx.session.loadProfile();
        Run("INSERT INTO " + T("CapNIR") +
            " (IDNIR, NRNIR, DATANIR, FURNIZOR, SERIENR, VMF, VAC, VTN, TOTAL) VALUES"
            " (1, 1, '20.02.2026', 'ALFA SRL', 'AB 1', 80, 20, 19, 119)");
        Run("INSERT INTO " + T("CapNIR") +
            " (IDNIR, NRNIR, DATANIR, FURNIZOR, SERIENR, VMF, VAC, VTN, TOTAL) VALUES"
            " (2, 2, '05.03.2026', 'BETA SRL', 'CD 2', 200, 0, 38, 238)");
        Run("INSERT INTO " + T("ChitOut") +
            " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, INCLTVA) VALUES"
            " (1, 1, 'CHITANTA', 'CH', 1, '10.02.2026', 100, 16)");
        Run("INSERT INTO " + T("ChitOut") +
            " (IDCHIT, IDFACTO, DOCJUS, SERIA, NR, DATAOUT, SUMA, INCLTVA) VALUES"
            " (2, 2, 'CHITANTA', 'CH', 2, '10.03.2026', 50, 8)");
        Run("INSERT INTO " + T("FactOut") +
            " (IDFACTO, SERIA, NR, DATAOUT, SOC2, REPREZ, TOTAL, VALTOT, TVATOT, REST, DATASCAD)"
            " VALUES (1, 'TVX', 7, '05.03.2026', 'CLIENT <UNU> SRL', 'ION', 119, 100, 19, 19.5,"
            " '20.03.2026')");
        Run("INSERT INTO " + T("FactIn") +
            " (IDFACT, NUMEFACT, SERIANR, DATAIN, DATASCAD, FURNIZOR, CUI, VALOARE, TOTAL, REST)"
            " VALUES (1, 'FACTURA', 'FV 0045', '05.03.2026', '05.04.2026', 'GAMA SRL', 'RO4567',"
            " 100, 119, 60.25)");
    }
    void Run(const std::string& sql) { fx.session.db().execute(sql); }
    std::string T(const char* table) { return core::QuotedPath(core::TableFile(Db(), table)); }
    tables::Database& Db() { return fx.session.db(); }
    testing::SessionFixture fx;
};

TEST_F(JournalReportsTest, TitlesPeriodLinesCarriedLinesAndTotals) {
    const Date march = Date::fromYmd(2026, 3, 1), end = Date::fromYmd(2026, 3, 31);
    const Date empty = Date::fromYmd(2030, 1, 1);
    const auto& company = fx.session.profile;
    const struct {
        const char* name;
        std::function<printing::LaidOutReport()> prepare;
        std::vector<std::string> texts;                          // read back from the PDF
        std::vector<std::pair<std::string, std::string>> lines;  // a line by its first text
    } cases[] = {
        {"payables",
         [&] { return PreparePayablesReport(Db(), company, march); },
         {"FIRMA TEST SRL", "Data : 01.03.2026", "RAPORT FACTURI NEACHITATE", "GAMA SRL"},
         {{"FACTURA", "1 FACTURA FV 0045 GAMA SRL 05.03.2026 05.04.2026 119.00 60.25"},
          {"TOTAL", "TOTAL 60.25"}}},
        {"receivables",
         [&] { return PrepareReceivablesReport(core::QueryReceivables(Db()), "* toate *", march); },
         {"* toate *", "Data : 01.03.2026", "RAPORT FACTURI NEINCASATE", "CLIENT <UNU> SRL"},
         {{"TVX", "1 TVX 7 05.03.2026 CLIENT <UNU> SRL 20.03.2026 119.00 19.50"},
          {"TOTAL", "TOTAL 19.50"}}},
        {"nir summary",
         [&] { return PrepareNirSummaryReport(Db(), company, march, end); },
         {"FIRMA TEST SRL", "CENTRALIZATOR NOTE DE RECEPTIE", "in perioada 01.03.2026 - 31.03.2026",
          "BETA SRL", "Compartiment financiar contabil,"},
         {{"REPORT", "REPORT 119.00 100.00 19.00"},
          {"TOTAL", "TOTAL 238.00 200.00 38.00"},
          {"TOTAL de reportat", "TOTAL de reportat 357.00 300.00 57.00"}}},
        {"nir summary, empty day",
         [&] { return PrepareNirSummaryReport(Db(), company, empty, empty); },
         {"in data de 01.01.2030", "FURNIZOR", "BAZA IMP."},
         {{"REPORT", "REPORT 357.00 300.00 57.00"},
          {"TOTAL", "TOTAL 0.00 0.00 0.00"},
          {"TOTAL de reportat", "TOTAL de reportat 357.00 300.00 57.00"}}},
        {"receipts journal",
         [&] { return PrepareReceiptsJournalReport(Db(), company, march, end); },
         {"JURNAL INCASARI", "Luna : Martie 2026", "CHITANTA"},
         {{"REPORT", "REPORT 100.00 84.00 16.00"},
          {"TOTAL", "TOTAL 50.00 42.00 8.00"},
          {"TOTAL de reportat", "TOTAL de reportat 150.00 126.00 24.00"}}},
        {"sales by agent",
         [&] { return PrepareSalesByAgentReport(Db(), "ION", march, end); },
         {"Reprezentant: ION", "VANZARI PE REPREZENTANT", "in perioada 01.03.2026 - 31.03.2026",
          "CLIENT <UNU> SRL"},
         {{"TOTAL", "TOTAL 119.00 100.00 19.00"}}},
        {"sales by agent, empty",
         [&] { return PrepareSalesByAgentReport(Db(), "NIMENI", march, end); },
         {"Reprezentant: NIMENI", "DOCUMENT JUSTIFICATIV"},
         {{"TOTAL", "TOTAL 0.00 0.00 0.00"}}},
        {"purchase journal",
         [&] { return PreparePurchaseJournalReport(Db(), company, march, end); },
         {"JURNAL PENTRU CUMPARARI", "in perioada 01.03.2026 - 31.03.2026", "TVA neexigibila",
          "Intocmit,", "Verificat,"},
         {{"GAMA SRL",
           "1 05.03.2026 0045 GAMA SRL 4567 119.00 0.00 0.00 0.00 100.00 19.00 0.00 0.00"},
          {"TOTAL", "TOTAL 119.00 0.00 0.00 0.00 100.00 19.00 0.00 0.00"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const printing::LaidOutReport report = c.prepare();
        ASSERT_EQ(report.pages.size(), 1u);
        tvx::testing::ExpectAllTexts(tvx::testing::PdfText(report), c.texts);
        for (const auto& [key, line] : c.lines) EXPECT_EQ(LineOf(report, key), line);
    }
    EXPECT_FALSE(std::filesystem::exists(core::PurchaseWorkTable(Db())));
}

TEST_F(JournalReportsTest, ExportWindowWritesTheChosenFormat) {
    const tables::ResultSet rows = core::QueryReceivablesForExport(Db());
    core::ExportOptions options;
    options.created = Date::fromYmd(2026, 12, 9);
    QTemporaryDir dir;
    const QString target = dir.filePath("facturi.csv");
    QString viewed;
    TExportF::setFileHook([&](QWidget*, const core::ExportFormatInfo& format, const QString& ext) {
        EXPECT_STREQ(format.typeName, "CSV (Comma delimited)");
        EXPECT_EQ(ext, ".csv");
        return target;
    });
    TExportF::setViewHook([&](const QString& file) { viewed = file; });
    TExportF window;
    const auto choose = [](const char* format, bool toFile) {
        testing::WhenModalNamed("TExportF", [=](QWidget* modal) {
            auto* formats = testing::Child<QComboBox>(modal, "Formatul");
            formats->setCurrentIndex(formats->findText(format));
            testing::Child<QRadioButton>(modal, toFile ? "InFisier" : "Vizualizare")
                ->setChecked(true);
            testing::Child<QPushButton>(modal, "ExportBut")->click();
        });
    };
    choose("CSV (Comma delimited)", true);
    ASSERT_TRUE(window.Exporta(rows, options));
    EXPECT_EQ(FileText(target),
              QString::fromStdString(core::ExportBytes(rows, core::ExportFormat::Csv, options)));
    EXPECT_TRUE(viewed.isEmpty());
    choose("HTML Documents", false);
    ASSERT_TRUE(window.Exporta(rows, options));
    EXPECT_TRUE(viewed.endsWith(".html")) << viewed.toStdString();
    EXPECT_TRUE(FileText(viewed).contains("CLIENT &lt;UNU&gt; SRL"));
    QFile::remove(viewed);
    // The clipboard gets the tab-separated rows, and the user is told.
    QString told;
    choose("Clipboard", false);
    testing::WhenModalNamed("TErori", [&](QWidget* modal) {
        told = testing::Child<QLabel>(modal, "Text")->text();
        CloseModal(modal);
    });
    ASSERT_TRUE(window.Exporta(rows, options));
    EXPECT_EQ(told, core::kClipboardDone);
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromStdString(core::ClipboardText(rows, options)));
    TExportF::setFileHook({});
    TExportF::setViewHook({});
}

// The report menu reaches every journal; "Facturi de plata" opens its preview.
TEST_F(JournalReportsTest, MenuItemsOpenTheirReports) {
    Application app(fx.session);
    QMenu* menu = app.main().reportMenu();
    const auto item = [menu](const QStringList& path) {
        QMenu* current = menu;
        QAction* found = nullptr;
        for (const QString& part : path) {
            found = nullptr;
            for (QAction* action : current->actions())
                if (action->text() == part) found = action;
            if (!found) return found;
            if (found->menu()) current = found->menu();
        }
        return found;
    };
    for (const QStringList& path :
         std::vector<QStringList>{{"Facturi de plata"},
                                  {"Facturi de incasat", "Listare"},
                                  {"Facturi de incasat", "Export Excel"},
                                  {"Magazie", "Centralizator N.I.R."},
                                  {"Jurnal cumparari"},
                                  {"Jurnal pentru vanzari", "Chitante"},
                                  {"Jurnal pentru vanzari", "Vanzari pe Reprezentant"}}) {
        QAction* action = item(path);
        ASSERT_NE(action, nullptr) << path.join('/').toStdString();
        EXPECT_TRUE(action->isEnabled()) << path.join('/').toStdString();
    }
    int pages = 0;
    testing::WhenModalNamed("TPreview", [&](QWidget* modal) {
        pages = static_cast<TPreview*>(modal)->pageCount();
        CloseModal(modal);
    });
    item({"Facturi de plata"})->trigger();
    EXPECT_EQ(pages, 1);
}

}  // namespace
}  // namespace tvx::ui

// The preview window driven as a user would: it opens maximised on page 1 and counts the
// report as produced once shown, the navigation buttons move and stop at the ends, zoom and
// "fit width" change the page image, printing and saving go through their hooks into real
// files, their errors reach the message window, and Esc closes it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>

#include "../UiTestSupport.h"
#include "tables/EngineError.h"
#include "ui/common/Mesaj.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {
namespace {

using testing::Child;
using testing::CloseModal;
using testing::PressKey;
using testing::WhenModal;
using testing::WhenModalNamed;

printing::LaidOutReport NumberedReport(int pages) {
    printing::LaidOutReport report;
    for (int p = 1; p <= pages; ++p) {
        printing::LaidOutPage page;
        page.items.push_back({printing::BandKind::Detail, printing::ElementKind::Box, 10, 10, 60,
                              20, "", 9, false, printing::Align::Left});
        page.items.push_back({printing::BandKind::Detail, printing::ElementKind::Label, 10, 40, 80,
                              10, "Pagina " + std::to_string(p), 12, true, printing::Align::Left});
        report.pages.push_back(page);
    }
    return report;
}

class PreviewWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override {
        TPreview::setPrintHook({});
        TPreview::setPdfPathHook({});
    }

    QString PageText() { return Child<QLabel>(&preview, "PageLabel")->text(); }
    QSize ImageSize() { return Child<QLabel>(&preview, "Imagine")->pixmap().size(); }
    void Click(const char* name) { Child<QPushButton>(&preview, name)->click(); }
    bool Enabled(const char* name) { return Child<QPushButton>(&preview, name)->isEnabled(); }

    // Esc on the shown window; a window that stays open fails the test and is closed.
    static void Escape(QWidget* window) {
        PressKey(Qt::Key_Escape);
        if (window->isVisible()) {
            ADD_FAILURE() << "Esc did not close the preview";
            CloseModal(window);
        }
    }

    QTemporaryDir dir;
    int started = 0;
    printing::LaidOutReport report = NumberedReport(3);
    TPreview preview{report, [this] { ++started; }};
};

TEST_F(PreviewWindowTest, OpensMaximisedOnPageOneAndCountsWhenShown) {
    EXPECT_EQ(started, 0);
    bool shown = false;
    WhenModal([&](QWidget* window) {
        shown = true;
        EXPECT_EQ(window, &preview);
        EXPECT_EQ(window->objectName(), "TPreview");
        EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(started, 1);
        EXPECT_EQ(PageText(), "Pagina 1 din 3");
        EXPECT_FALSE(ImageSize().isEmpty());
        Escape(window);
    });
    preview.Arata();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(preview.isVisible());

    // Shown again (after moving on), it starts on page 1 and does not count twice.
    Click("LastBut");
    WhenModal([&](QWidget* window) {
        EXPECT_EQ(PageText(), "Pagina 1 din 3");
        Escape(window);
    });
    preview.Arata();
    EXPECT_EQ(started, 1);
}

TEST_F(PreviewWindowTest, NavigationMovesAndStopsAtTheEnds) {
    EXPECT_EQ(PageText(), "Pagina 1 din 3");
    EXPECT_FALSE(Enabled("FirstBut"));
    EXPECT_FALSE(Enabled("PrevBut"));
    EXPECT_TRUE(Enabled("NextBut"));
    Click("NextBut");
    EXPECT_EQ(PageText(), "Pagina 2 din 3");
    EXPECT_EQ(preview.currentPage(), 1);
    EXPECT_TRUE(Enabled("PrevBut"));
    EXPECT_TRUE(Enabled("NextBut"));
    Click("NextBut");
    EXPECT_EQ(PageText(), "Pagina 3 din 3");
    EXPECT_FALSE(Enabled("NextBut"));
    EXPECT_FALSE(Enabled("LastBut"));
    Click("PrevBut");
    EXPECT_EQ(PageText(), "Pagina 2 din 3");
    Click("LastBut");
    EXPECT_EQ(PageText(), "Pagina 3 din 3");
    Click("FirstBut");
    EXPECT_EQ(PageText(), "Pagina 1 din 3");

    // A one-page report has nowhere to go.
    const printing::LaidOutReport single = NumberedReport(1);
    TPreview one(single, {});
    EXPECT_EQ(Child<QLabel>(&one, "PageLabel")->text(), "Pagina 1 din 1");
    EXPECT_FALSE(Child<QPushButton>(&one, "NextBut")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&one, "PrevBut")->isEnabled());
}

TEST_F(PreviewWindowTest, ZoomChangesThePageImage) {
    const QSize normal = ImageSize();
    ASSERT_FALSE(normal.isEmpty());
    // A4 portrait: taller than wide.
    EXPECT_GT(normal.height(), normal.width());
    Click("ZoomInBut");
    const QSize bigger = ImageSize();
    EXPECT_NEAR(bigger.width(), normal.width() * 1.25, 3);
    EXPECT_GT(bigger.height(), normal.height());
    Click("ZoomOutBut");
    Click("ZoomOutBut");
    EXPECT_LT(ImageSize().width(), normal.width());
    // It stops at its smallest size.
    for (int i = 0; i < 20; ++i)
        if (Enabled("ZoomOutBut")) Click("ZoomOutBut");
    EXPECT_FALSE(Enabled("ZoomOutBut"));
    EXPECT_EQ(Child<QLabel>(&preview, "ZoomLabel")->text(), "25%");

    WhenModal([&](QWidget* window) {
        auto* area = Child<QScrollArea>(&preview, "Pagini");
        Click("FitBut");
        const int room = area->width();
        EXPECT_LE(ImageSize().width(), room);
        EXPECT_GT(ImageSize().width(), room - 80) << room;
        // It keeps fitting when the window changes size.
        preview.setWindowState(Qt::WindowNoState);
        preview.resize(700, 500);
        QApplication::processEvents();
        EXPECT_LE(ImageSize().width(), area->width());
        EXPECT_GT(ImageSize().width(), area->width() - 80);
        Escape(window);
    });
    preview.Arata();
}

TEST_F(PreviewWindowTest, SavesPdfThroughTheFileHook) {
    QString path = dir.filePath("raport.pdf");
    int asked = 0;
    TPreview::setPdfPathHook([&](QWidget* parent) {
        ++asked;
        EXPECT_EQ(parent, &preview);
        return path;
    });
    Click("PdfBut");
    EXPECT_EQ(asked, 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
    EXPECT_EQ(started, 1);

    // Cancelled: nothing written.
    path.clear();
    Click("PdfBut");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // A folder that does not exist: the message names the file, nothing is written.
    path = dir.filePath("lipsa/raport.pdf");
    QString message;
    WhenModalNamed("TErori", [&](QWidget* window) {
        message = Child<QLabel>(window, "Text")->text();
        CloseModal(window);
    });
    Click("PdfBut");
    EXPECT_TRUE(message.contains("lipsa/raport.pdf")) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PreviewWindowTest, PrintsThroughThePrinterHook) {
    const QString path = dir.filePath("tiparit.pdf");
    TPreview::setPrintHook([&](QWidget*, printing::ReportJob& job) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        job.print(printer, 2);
    });
    Click("PrintBut");
    EXPECT_EQ(started, 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));

    // A printer that fails: the error is shown, the window goes on.
    TPreview::setPrintHook(
        [](QWidget*, printing::ReportJob&) { throw tables::EngineError("imprimanta oprita"); });
    QString message;
    WhenModalNamed("TErori", [&](QWidget* window) {
        message = Child<QLabel>(window, "Text")->text();
        CloseModal(window);
    });
    Click("PrintBut");
    EXPECT_EQ(message, "imprimanta oprita");
}

TEST_F(PreviewWindowTest, ShowPreviewOpensAndClosesItsOwnWindow) {
    int count = 0;
    const printing::LaidOutReport empty;
    EXPECT_FALSE(TPreview::ShowPreview(
        empty, [&] { ++count; }, nullptr));
    EXPECT_EQ(count, 0);

    QString page;
    WhenModal([&](QWidget* window) {
        page = Child<QLabel>(window, "PageLabel")->text();
        Escape(window);
    });
    EXPECT_TRUE(TPreview::ShowPreview(
        report, [&] { ++count; }, nullptr));
    EXPECT_EQ(page, "Pagina 1 din 3");
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace tvx::ui

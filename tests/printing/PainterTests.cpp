// Tests of drawing laid-out pages: page images at a resolution and PDF files.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "printing/LayoutLoader.h"
#include "printing/ReportPainter.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

LaidOutReport boxReport(bool landscape) {
    const std::string orientation = landscape ? "landscape" : "portrait";
    const ReportLayout layout =
        parseLayout(QByteArray::fromStdString(R"({"page": {"orientation": ")" + orientation + R"("},
          "bands": [{"kind": "title", "height": 40, "elements": [
            {"kind": "box", "x": 0, "y": 0, "w": 50, "h": 40},
            {"kind": "label", "x": 60, "y": 0, "w": 80, "h": 10, "text": "Pagina {page}",
             "font": 20}]}]})"),
                    "box.json");
    return paginate(layout, nullptr, {});
}

bool isDark(QRgb pixel) {
    return qGray(pixel) < 128;
}

TEST(ReportPainter, PageImageHasA4SizeAndTheDrawing) {
    const QImage page = renderPage(boxReport(false), 0, 100);
    EXPECT_EQ(page.width(), 827);  // 210 mm at 100 dpi
    EXPECT_EQ(page.height(), 1169);
    // The box's left edge is at 10 mm, its inside stays white.
    const int edge = qRound(10 / 25.4 * 100);
    const int middle = qRound(30 / 25.4 * 100);
    EXPECT_TRUE(isDark(page.pixel(edge, middle)));
    EXPECT_FALSE(isDark(page.pixel(middle, middle)));
    // Some ink where the label is.
    bool ink = false;
    for (int x = qRound(70 / 25.4 * 100); x < qRound(110 / 25.4 * 100) && !ink; ++x)
        for (int y = qRound(10 / 25.4 * 100); y < qRound(20 / 25.4 * 100) && !ink; ++y)
            ink = isDark(page.pixel(x, y));
    EXPECT_TRUE(ink);

    const QImage wide = renderPage(boxReport(true), 0, 100);
    EXPECT_EQ(wide.width(), 1169);
    EXPECT_THROW(renderPage(boxReport(true), 1, 100), tables::EngineError);
}

TEST(ReportPainter, WritesPngPages) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("p1.png");
    writePagePng(boxReport(false), 0, 50, path.toStdString());
    const QImage back(path);
    EXPECT_EQ(back.size(), QSize(413, 585));
    EXPECT_EQ(back.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_THROW(writePagePng(boxReport(false), 0, 50, dir.filePath("no/p.png").toStdString()),
                 tables::EngineError);
}

TEST(ReportPainter, WritesPdfPagesInOrientation) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("r.pdf").toStdString();
    writePdf(boxReport(true), path);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    // Landscape A4 in points: 842 x 595.
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 841") || pdf.contains("/MediaBox [0 0 842"))
        << pdf.left(2000).toStdString();

    EXPECT_THROW(writePdf(boxReport(false), dir.filePath("none/r.pdf").toStdString()),
                 tables::EngineError);
    EXPECT_FALSE(QFile::exists(dir.filePath("none/r.pdf")));
}

}  // namespace
}  // namespace tvx::printing

// Tests of producing reports: copies and page ranges on a printer (a PDF printer, whose file
// is read back and its pages counted), PDF files, and the "started producing" notice that
// comes exactly once per job and never for a report that did not come out.
#include <gtest/gtest.h>

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "printing/ReportOutput.h"
#include "tables/EngineError.h"

namespace tvx::printing {
namespace {

// A report of `pages` pages, each with a box and its number as a label.
LaidOutReport numberedReport(int pages, bool landscape = false) {
    LaidOutReport report;
    report.page.landscape = landscape;
    for (int p = 1; p <= pages; ++p) {
        LaidOutPage page;
        page.items.push_back(
            {BandKind::Detail, ElementKind::Box, 10, 10, 50, 20, "", 9, false, Align::Left});
        page.items.push_back({BandKind::Detail, ElementKind::Label, 10, 40, 80, 10,
                              "Pagina " + std::to_string(p), 12, true, Align::Left});
        report.pages.push_back(page);
    }
    return report;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Page objects of a PDF ("/Type /Page", not the "/Type /Pages" tree).
int pdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression page(R"(/Type\s*/Page(?![a-zA-Z]))");
    int count = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) ++count;
    return count;
}

class ReportOutput : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // A printer that writes a PDF file named `name` in the test folder.
    void pdfPrinter(QPrinter& printer, const QString& name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
    }
    std::function<void()> counter() {
        return [this] { ++started; };
    }

    QTemporaryDir dir;
    int started = 0;
};

TEST_F(ReportOutput, PrintsEveryCopyOfEveryPage) {
    const LaidOutReport report = numberedReport(2);
    ReportJob job(report, counter());
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, "copies.pdf");
    job.print(printer, 3);
    EXPECT_EQ(started, 1);
    EXPECT_TRUE(job.hasStarted());
    const QByteArray pdf = readFile(dir.filePath("copies.pdf"));
    ASSERT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdfPageCount(pdf), 6);
    // The copies are all painted here: the printer is not asked to repeat them again.
    EXPECT_EQ(printer.copyCount(), 1);

    ReportJob single(report, counter());
    QPrinter one(QPrinter::HighResolution);
    pdfPrinter(one, "one.pdf");
    single.print(one, 1);
    EXPECT_EQ(pdfPageCount(readFile(dir.filePath("one.pdf"))), 2);
    EXPECT_EQ(started, 2);
}

TEST_F(ReportOutput, KeepsThePageRangeAndOrientationOfThePrinter) {
    const LaidOutReport report = numberedReport(3, true);
    ReportJob job(report, counter());
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, "range.pdf");
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    job.print(printer, 2);
    const QByteArray pdf = readFile(dir.filePath("range.pdf"));
    EXPECT_EQ(pdfPageCount(pdf), 4);
    // Landscape A4 in points: 842 x 595.
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 841") || pdf.contains("/MediaBox [0 0 842"))
        << pdf.left(1500).toStdString();

    // A range past the end of the report prints nothing.
    ReportJob outside(report, counter());
    QPrinter far(QPrinter::HighResolution);
    pdfPrinter(far, "far.pdf");
    far.setPrintRange(QPrinter::PageRange);
    far.setFromTo(5, 6);
    EXPECT_THROW(outside.print(far, 1), tables::EngineError);
    EXPECT_EQ(started, 1);
}

TEST_F(ReportOutput, PrinterThatCannotStartIsAnErrorAndNotCounted) {
    const LaidOutReport report = numberedReport(1);
    ReportJob job(report, counter());
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, "missing/out.pdf");
    try {
        job.print(printer, 1);
        FAIL() << "printing into a missing folder succeeded";
    } catch (const tables::EngineError& error) {
        EXPECT_NE(std::string(error.what()).find("missing/out.pdf"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(started, 0);
    EXPECT_FALSE(job.hasStarted());
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/out.pdf")));

    QPrinter fine(QPrinter::HighResolution);
    pdfPrinter(fine, "zero.pdf");
    EXPECT_THROW(job.print(fine, 0), tables::EngineError);
    EXPECT_EQ(started, 0);

    const LaidOutReport empty;
    ReportJob nothing(empty, counter());
    EXPECT_THROW(nothing.print(fine, 1), tables::EngineError);
    EXPECT_EQ(started, 0);
}

TEST_F(ReportOutput, PdfFileCountsOnceItIsWritten) {
    const LaidOutReport report = numberedReport(2);
    ReportJob job(report, counter());
    EXPECT_THROW(job.writePdf(dir.filePath("none/r.pdf").toStdString()), tables::EngineError);
    EXPECT_EQ(started, 0);

    job.writePdf(dir.filePath("r.pdf").toStdString());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(pdfPageCount(readFile(dir.filePath("r.pdf"))), 2);
}

TEST_F(ReportOutput, StartsOnlyOncePerJob) {
    const LaidOutReport report = numberedReport(1);
    ReportJob job(report, counter());
    job.previewShown();
    EXPECT_EQ(started, 1);
    job.previewShown();
    QPrinter printer(QPrinter::HighResolution);
    pdfPrinter(printer, "after.pdf");
    job.print(printer, 2);
    job.writePdf(dir.filePath("after2.pdf").toStdString());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(pdfPageCount(readFile(dir.filePath("after.pdf"))), 2);

    // A job without a notice still produces.
    ReportJob silent(report);
    silent.previewShown();
    EXPECT_TRUE(silent.hasStarted());
}

}  // namespace
}  // namespace tvx::printing

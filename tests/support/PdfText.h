// Reading a produced report back as text: the report is written as a PDF file through the
// program's own output path and read back with pdftotext (poppler-utils), so a test sees what
// a reader of the PDF sees. Runs of white space become one blank, so a text that the layout
// wraps or spaces out is still found as written.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "printing/ReportOutput.h"
#include "printing/ReportPaginator.h"

namespace tvx::testing {

// The text of `report` as pdftotext gives it, white space collapsed. Fails the test (and
// returns "") when the PDF cannot be written or pdftotext cannot run.
inline std::string PdfText(const printing::LaidOutReport& report) {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        ADD_FAILURE() << "no temporary folder";
        return {};
    }
    const QString pdf = dir.filePath("report.pdf");
    printing::ReportJob job(report);
    job.writePdf(pdf.toStdString());
    QProcess tool;
    tool.start("pdftotext", {"-enc", "UTF-8", pdf, "-"});
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << tool.readAllStandardError().toStdString();
        return {};
    }
    QString text = QString::fromUtf8(tool.readAllStandardOutput());
    text.replace(QRegularExpression("\\s+"), " ");
    return text.toStdString();
}

// Every text of `expected` occurs in `pdfText`; each missing one is reported by name.
inline void ExpectAllTexts(const std::string& pdfText, const std::vector<std::string>& expected) {
    for (const auto& text : expected)
        EXPECT_NE(pdfText.find(text), std::string::npos)
            << "missing from the PDF: \"" << text << "\" in: " << pdfText;
}

}  // namespace tvx::testing

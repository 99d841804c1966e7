// Producing a laid-out report on printers and PDF files (printing/ layer).
#include "printing/ReportOutput.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "printing/ReportPainter.h"
#include "tables/EngineError.h"

namespace tvx::printing {

using tables::EngineError;

namespace {

// The printer's name for messages; a PDF printer is named by its file.
std::string PrinterName(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty()) return printer.outputFileName().toStdString();
    if (!printer.printerName().isEmpty()) return printer.printerName().toStdString();
    return "(implicita)";
}

}  // namespace

ReportJob::ReportJob(const LaidOutReport& report, std::function<void()> started)
    : report_(report), onStarted_(std::move(started)) {}

void ReportJob::markStarted() {
    if (started_) return;
    started_ = true;
    if (onStarted_) onStarted_();
}

void ReportJob::previewShown() {
    markStarted();
}

void ReportJob::print(QPrinter& printer, int copies) {
    const std::string name = PrinterName(printer);
    if (copies < 1)
        throw EngineError("cannot print " + std::to_string(copies) + " copies on printer " + name);
    if (!printer.isValid()) throw EngineError("printer " + name + " is not available");
    if (report_.pages.empty()) throw EngineError("the report has no pages to print");

    // Pages chosen on the printer (1-based, inclusive), clipped to the report.
    size_t first = 0, last = report_.pages.size() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = static_cast<size_t>(printer.fromPage() - 1);
        if (printer.toPage() > 0) last = std::min(last, static_cast<size_t>(printer.toPage() - 1));
        if (first > last)
            throw EngineError("the pages chosen for printer " + name + " are not in the report");
    }

    printer.setCopyCount(1);
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4),
                    report_.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&printer)) throw EngineError("cannot start printing on printer " + name);
    markStarted();
    const double pixelsPerMm = printer.resolution() / 25.4;
    bool firstPage = true;
    for (int copy = 0; copy < copies; ++copy) {
        for (size_t p = first; p <= last; ++p) {
            if (!firstPage && !printer.newPage()) {
                painter.end();
                throw EngineError("printing stopped on printer " + name);
            }
            firstPage = false;
            paintPage(painter, report_, p, pixelsPerMm);
        }
    }
    if (!painter.end()) throw EngineError("printing failed on printer " + name);
}

void ReportJob::print(int copies) {
    if (QPrinterInfo::defaultPrinter().isNull())
        throw EngineError("there is no default printer to print on");
    QPrinter printer(QPrinter::HighResolution);
    print(printer, copies);
}

void ReportJob::writePdf(const std::string& path) {
    printing::writePdf(report_, path);
    markStarted();
}

}  // namespace tvx::printing

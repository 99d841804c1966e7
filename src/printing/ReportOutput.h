// Producing a laid-out report (printing/ layer): on a printer with a number of copies, or as a
// PDF file, and telling the caller once that production really started (the printed counters
// count only reports that came out). Windows are no business of this file: a preview window
// reports itself through previewShown().
#pragma once

#include <functional>
#include <string>

#include "printing/ReportPaginator.h"

class QPrinter;

namespace tvx::printing {

class ReportJob {
  public:
    // `report` must outlive the job. `started` (may be empty) is called at most once per job:
    // when the first of print, writePdf or previewShown really starts producing.
    explicit ReportJob(const LaidOutReport& report, std::function<void()> started = {});

    // Prints `copies` (>= 1) collated copies on `printer` (A4 in the report's orientation, no
    // margins; a page range chosen on the printer is kept). The copies are painted here, so
    // they come out the same on every kind of printer; the printer's own copy count is set to 1.
    // Throws EngineError, without calling `started`, for copies < 1, an invalid printer or one
    // that cannot start (e.g. an output file that cannot be created); and when the printer
    // stops part way through.
    void print(QPrinter& printer, int copies);
    // The same on the system's default printer; EngineError when there is none.
    void print(int copies);

    // Writes the whole report to the PDF file `path` (replaced only when complete) and then
    // counts as started. Throws EngineError naming the file, without calling `started`.
    void writePdf(const std::string& path);

    // The preview window was shown: production started.
    void previewShown();

    // Whether `started` was called.
    bool hasStarted() const { return started_; }
    const LaidOutReport& report() const { return report_; }

  private:
    void markStarted();

    const LaidOutReport& report_;
    std::function<void()> onStarted_;
    bool started_ = false;
};

}  // namespace tvx::printing

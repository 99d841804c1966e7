// Drawing laid-out pages (printing/ layer): onto any QPainter, to a PDF file (A4 in the
// layout's orientation) and to page images at a chosen resolution.
#pragma once

#include <QImage>
#include <QPainter>
#include <string>

#include "printing/ReportPaginator.h"

namespace tvx::printing {

// Draws page `page` (0-based) with the painter's origin at the page's top-left corner;
// `pixelsPerMm` is the device's resolution.
void paintPage(QPainter& painter, const LaidOutReport& report, size_t page, double pixelsPerMm);

// White page image at `dpi`. Throws EngineError for a page out of range.
QImage renderPage(const LaidOutReport& report, size_t page, int dpi);

// Writes page `page` as a PNG image at `dpi`; the file is replaced only when fully written.
// Throws EngineError naming the file when it cannot be written.
void writePagePng(const LaidOutReport& report, size_t page, int dpi, const std::string& path);

// Writes every page to `path`; the file is replaced only when the whole document was written.
// Throws EngineError naming the file when it cannot be written.
void writePdf(const LaidOutReport& report, const std::string& path);

}  // namespace tvx::printing

// The printed product card (ui/printing): the layout FisaProdPrn over the movements the product
// card window shows, with the captions the window sets (company, location, date, category,
// product, sale price and the final stock line) as report parameters.
#pragma once

#include "core/stock/ProductCard.h"
#include "printing/ReportPaginator.h"

class QWidget;

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

inline constexpr const char* kProductCardLayoutName = "FisaProdPrn";

// SOC, DATA, GESTIUNE, CATEGORIA, PRODUS, PRET and STOC.
printing::ReportInputs ProductCardInputs(const core::CardReportCaptions& captions);

// Lays the card out over `moves` (read from its first row; the cursor is kept). Throws
// EngineError for a missing or faulty layout.
printing::LaidOutReport PrepareProductCardReport(const tables::ResultSet& moves,
                                                 const core::CardReportCaptions& captions);

// Shows the card in the preview window (print and PDF from there); an error is shown instead.
// Returns whether the preview was shown.
bool PrintProductCard(const tables::ResultSet& moves, const core::CardReportCaptions& captions,
                      QWidget* parent);

}  // namespace tvx::ui

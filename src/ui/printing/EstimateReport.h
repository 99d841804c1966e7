// The printed car-service work estimate (ui/printing): the layout ComandaL filled with the
// estimate header texts as report parameters and the estimate rows of one stored invoice.
// Parameter names: FIRMA, ADRESA, TELEFON, JUDET, CUI, CONT (company part), BENEFICIAR,
// ADRESA2, CUI2 (buyer), DATA, AUTOTIP, NRAUTO, STARE and COMANDA (service order).
#pragma once

#include "core/reports/Estimate.h"
#include "printing/ReportPaginator.h"

namespace tvx::tables {
class Database;
}

namespace tvx::ui {

inline constexpr const char* kEstimateLayoutName = "ComandaL";

// The report inputs of the title band: one parameter per header text.
printing::ReportInputs EstimateInputs(const core::EstimateHeader& header);

// Lays the estimate of invoice `idFacto` out with `header` (company, buyer and service order
// already set by the caller). Throws EngineError when the layout or the rows cannot be read.
printing::LaidOutReport PrepareEstimateReport(tables::Database& db,
                                              const core::EstimateHeader& header,
                                              long long idFacto);

}  // namespace tvx::ui

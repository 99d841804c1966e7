// The printed warranties list (ui/printing): the layout GarantiiPrn over the rows the
// warranties window shows (its search applies), with the company and the date as report
// parameters.
#pragma once

#include <string>

#include "printing/ReportPaginator.h"
#include "tables/Date.h"

class QWidget;

namespace tvx::ui {

inline constexpr const char* kWarrantiesLayoutName = "GarantiiPrn";

// Lays the rows visible in `rows` out. Throws EngineError.
printing::LaidOutReport PrepareWarrantiesReport(const tables::ResultSet& rows,
                                                const std::string& company, tables::Date today);

// Shows the report in the preview window; an engine error is shown instead.
void PrintWarranties(const tables::ResultSet& rows, const std::string& company, tables::Date today,
                     QWidget* parent);

}  // namespace tvx::ui

// The printed list of time norms (ui/printing): the layout NormativL over the operations the
// time norms window shows, the company name as the report parameter SOC.
#pragma once

#include <string>

#include "printing/ReportPaginator.h"

class QWidget;

namespace tvx::ui {

inline constexpr const char* kNormativLayoutName = "NormativL";

// Lays the rows visible in `rows` out. Throws EngineError.
printing::LaidOutReport PrepareNormativReport(const tables::ResultSet& rows,
                                              const std::string& company);

// Shows the report in the preview window; an engine error is shown instead.
void PrintNormativ(const tables::ResultSet& rows, const std::string& company, QWidget* parent);

}  // namespace tvx::ui

// The cash register book of a period as the RegCasa workbook (core/purchases): the embedded
// template written to a free RegCasa<n>.xls of the program folder, its placeholders replaced
// by the period's figures, one day block per day with operations, saved as a new XLSTmp<n>.xls
// and, when asked, shown by the opener the windows installed.
#pragma once

#include <filesystem>
#include <functional>

#include "core/purchases/CashBook.h"
#include "core/reports/WorkbookExports.h"

namespace tvx::core {

constexpr const char* kCashBookExportProgress = "Creez Registrul de casa...";

// Writes `period` into the RegCasa workbook in `programFolder`. `automationWanted` is false
// when the company profile's "Utilizez Office 2013 sau mai vechi" is ticked. `progress` gets
// the number of days written so far (of period.days.size()).
WorkbookResult ExportCashBook(const CashBookPeriod& period,
                              const std::filesystem::path& programFolder, bool automationWanted,
                              bool show, const std::function<void(int days)>& progress = {});

}  // namespace tvx::core

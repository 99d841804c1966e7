// The printed inventory (ui/printing): the layout InventarPrn over the rows the warehouse
// window shows, with the company, location, category and date lines as report parameters.
// Rows summed over every price (products out of stock) print without the price column.
#pragma once

#include "core/stock/Inventory.h"
#include "printing/ReportPaginator.h"

class QWidget;

namespace tvx::ui {

inline constexpr const char* kInventoryLayoutName = "InventarPrn";

// The captions as the parameters SOC, GESTIUNE, CATEGORIA and DATA; the price column hidden
// when the rows have no PRETOUT.
printing::ReportInputs InventoryInputs(const core::InventoryCaptions& captions, bool withPrice);

// Lays the rows visible in `rows` out. Throws EngineError.
printing::LaidOutReport PrepareInventoryReport(const tables::ResultSet& rows,
                                               const core::InventoryCaptions& captions);

// Shows the report in the preview window; an engine error is shown instead.
void PrintInventory(const tables::ResultSet& rows, const core::InventoryCaptions& captions,
                    QWidget* parent);

}  // namespace tvx::ui

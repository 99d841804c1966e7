// The receipt page (ui/printing): the layout LFactura3, which prints one cash receipt three
// times on an A4 page, filled from the receipt labels of its invoice. It has no data rows; the
// bound label texts are its parameters, as for the invoice.
#pragma once

#include <QImage>

#include "printing/ReportPaginator.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {
class CompanyProfile;
}

namespace tvx::ui {

inline constexpr const char* kReceiptLayoutName = "LFactura3";

// Lays the receipt `idChit` (a ChitOut row) of invoice `idFacto` out on its page, the three
// stamp places showing `stamp` (hidden for a null image). Throws EngineError naming the table
// when the invoice or the receipt is missing, or the layout file when it cannot be loaded.
printing::LaidOutReport PrepareReceiptReport(tables::Database& db,
                                             const core::CompanyProfile& company, long long idFacto,
                                             long long idChit, const QImage& stamp);

}  // namespace tvx::ui

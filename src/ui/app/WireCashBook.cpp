// Wiring of the cash register book and the warranties list (ui/app): the main window's
// "Registrul de casa" opens the book and the report menu's "Garantii" the warranties. Their
// workbook exports are hooks of the windows: the RegCasa workbook (TRegCasaF) and the grid
// export (TGarantiiF) are connected here once the workbook engine provides them; until then
// each button says the export is not available.
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/purchases/TRegCasaF.h"
#include "ui/sales/TGarantiiF.h"

namespace tvx::ui {

void Application::WireCashBook() {
    cashBook_ = std::make_unique<TRegCasaF>(session_, main_.get());
    warranties_ = std::make_unique<TGarantiiF>(session_, main_.get());
    main_->setOpener(core::MainCommand::CashBook, [this] { cashBook_->OpenCashBook(); });
    main_->setReportHandler(core::ReportId::Warranties,
                            [this](const ReportRequest&) { warranties_->OpenWarranties(); });
}

}  // namespace tvx::ui

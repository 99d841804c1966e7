// Wiring of the workshop windows: the time norms window opened from the administration
// ("Normativ de timp", every quantity at 0 first) and from the invoice editor, where it
// chooses the labour lines of a car-service invoice.
#include "core/app/Session.h"
#include "core/workshop/TimeNorms.h"
#include "ui/admin/TForm4.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/common/Binding.h"
#include "ui/workshop/TServAuto.h"

namespace tvx::ui {

void Application::WireWorkshop() {
    timeNorms_.define([this] { return std::make_unique<TServAuto>(main_.get()); });
    admin_->setTimeNormsOpener([this] {
        timeNorms().Bind(session_);
        if (!Guarded([&] { core::ResetTimeQuantities(session_.db()); })) return;
        timeNorms().OpenTimeNorms();
    });
}

}  // namespace tvx::ui

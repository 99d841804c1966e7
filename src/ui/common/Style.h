// The application's look in one place (ui/common): one style sheet and font for every
// window.
#pragma once

#include <QString>

class QApplication;

namespace tvx::ui {

// The style sheet all windows share.
QString AppStyleSheet();
// Sets the font and the style sheet on the application; call once after it is created.
void ApplyAppStyle(QApplication& app);

}  // namespace tvx::ui

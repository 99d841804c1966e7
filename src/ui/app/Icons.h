// The pictures of the main window's buttons (ui/app), drawn by the program itself so that
// no picture files need to ship: simple two-colour symbols on a transparent background.
#pragma once

#include <QIcon>

#include "core/app/MainMenu.h"

namespace tvx::ui {

// The picture of a main-window button, `size` pixels square.
QIcon MainButtonIcon(core::MainCommand command, int size = 40);

}  // namespace tvx::ui

// The export to SAGA from the report menu (ui/app): the folder chooser it asks with, which
// tests replace. The flow itself is wired by Application::WireSaga (WireSaga.cpp).
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tvx::ui {

// Replaces the folder chooser ("Unde punem fisierele?"); an empty result is a cancel. An
// empty function puts the system's chooser back.
void SetSagaFolderChooser(std::function<QString(QWidget*)> choose);

}  // namespace tvx::ui

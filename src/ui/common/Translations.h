// The Romanian texts of Qt's own dialogs (ui/common): the file and print dialogs, the standard
// buttons and edit menus speak the program's language. The compiled texts travel beside the
// program, in "translations/tarvix_ro.qm".
#pragma once

#include <QString>

class QCoreApplication;

namespace tvx::ui {

// The file the texts are read from: "translations/tarvix_ro.qm" beside the program.
QString QtTranslationFile();

// Makes every dialog Qt's own (a native one would not take the texts) and installs the
// Romanian texts on `app`. False when the file is missing or unreadable; the dialogs then
// stay in English, and nothing else changes.
bool InstallQtTranslations(QCoreApplication& app);

}  // namespace tvx::ui

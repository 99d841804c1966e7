// Loading the Romanian texts of Qt's own dialogs (ui/common).
#include "ui/common/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QTranslator>

namespace tvx::ui {

QString QtTranslationFile() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("translations/tarvix_ro.qm");
}

bool InstallQtTranslations(QCoreApplication& app) {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    // One translator for the application's life, installed once however often this is called.
    static QPointer<QTranslator> translator;
    if (translator) return true;
    auto* candidate = new QTranslator(&app);
    if (!candidate->load(QtTranslationFile()) || !QCoreApplication::installTranslator(candidate)) {
        delete candidate;
        return false;
    }
    translator = candidate;
    return true;
}

}  // namespace tvx::ui

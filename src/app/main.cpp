// Program entry of Tarvix: refuses to run without a display (with the way to get one),
// hands over to a copy that already runs, then builds the windows and starts the splash.
// The data directory is "Data" beside the executable.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "core/app/Session.h"
#include "ui/app/Application.h"
#include "ui/app/SingleInstance.h"
#include "ui/common/Style.h"
#include "ui/common/Translations.h"

namespace {

// On X11/Wayland desktops a window needs DISPLAY or WAYLAND_DISPLAY; without either Qt would
// abort with a terse message.
bool DisplayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (!DisplayAvailable()) {
        std::fprintf(stderr,
                     "tarvix: no display available (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                     "Start it from a desktop session, or under a virtual display:\n"
                     "    xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(tvx::core::kApplicationTitle);
    QApplication::setApplicationDisplayName(tvx::core::kApplicationTitle);

    tvx::ui::SingleInstance guard;
    if (guard.handOverToRunning()) return 0;
    guard.listen();

    tvx::ui::ApplyAppStyle(app);
    if (!tvx::ui::InstallQtTranslations(app))
        std::fprintf(stderr, "tarvix: %s is missing: Qt's dialogs stay in English.\n",
                     qPrintable(tvx::ui::QtTranslationFile()));
    tvx::core::Session session(QApplication::applicationDirPath().toStdString());
    tvx::ui::Application windows(session);
    QObject::connect(&guard, &tvx::ui::SingleInstance::activationRequested, &windows,
                     &tvx::ui::Application::comeForward);
    QObject::connect(&windows, &tvx::ui::Application::finished, &app,
                     [](int code) { QApplication::exit(code); });
    windows.start();
    return app.exec();
}

// The program started on a program folder whose data directory another program holds: the
// user reads the refusal, naming the directory, and the program ends without its windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>

#include "../UiTestSupport.h"
#include "core/app/Session.h"
#include "ui/app/Application.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"

namespace tvx::ui {
namespace {

TEST(StartRefused, ADataDirectoryInUseIsNamedAndTheProgramEnds) {
    QTemporaryDir folder;
    core::Session holder(folder.path().toStdString());
    holder.open();  // another program has the data directory

    core::Session session(folder.path().toStdString());
    Application app(session);
    int exitCode = -1;
    QObject::connect(&app, &Application::finished, [&](int code) { exitCode = code; });
    QString shown;
    testing::WhenModalNamed("TErori", [&](QWidget* message) {
        shown = message->findChild<QLabel*>("Text")->text();
        testing::CloseModal(message);
    });
    app.splash().setStartDelay(0);
    app.start();
    for (int i = 0; i < 500 && exitCode < 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);

    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(shown.contains(QString::fromStdString(holder.dataDir().string())))
        << shown.toStdString();
    EXPECT_FALSE(app.main().isVisible());
    EXPECT_FALSE(session.isOpen());
}

}  // namespace
}  // namespace tvx::ui

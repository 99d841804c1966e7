// Entry of the window tests: an offscreen QApplication for the whole run, then GoogleTest.
// The offscreen platform's notes about what it cannot do (raise a window, grab the
// keyboard) are dropped so that real warnings stand out.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/common/Style.h"

namespace {

QtMessageHandler previousHandler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith("This plugin does not support")) return;
    if (previousHandler) previousHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    previousHandler = qInstallMessageHandler(FilterMessages);
    QApplication app(argc, argv);
    tvx::ui::ApplyAppStyle(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The pre-order window in the application (ui/app): "Precomenzi" of the main window opens it,
// and its "&Factureaza" opens the invoice list starting a new document with the pre-order's
// buyer. A printed reception sheet opens in the program the system associates with rich
// text, except on the offscreen platform of the tests, where nothing is started.
#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include "core/app/MainMenu.h"
#include "core/app/Session.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/sales/TFactOutAddF.h"
#include "ui/sales/TFactOutF.h"
#include "ui/workshop/TFPrecomanda.h"

namespace tvx::ui {

void Application::WirePreOrders() {
    preOrders_.define([this] { return std::make_unique<TFPrecomanda>(main_.get()); },
                      [](TFPrecomanda& preOrders) {
                          if (QGuiApplication::platformName() != "offscreen")
                              preOrders.setDocumentOpener([](const QString& path) {
                                  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
                              });
                      });
    main_->setOpener(core::MainCommand::PreOrders, [this] {
        preOrders().Bind(session_);
        if (!preOrders().OpenPreOrders()) return;
        sales().Bind(session_);
        sales().OpenFromPreorder(preOrders().buyer());
    });
}

}  // namespace tvx::ui

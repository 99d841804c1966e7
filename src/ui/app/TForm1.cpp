// The splash window and the start-up sequence.
#include "ui/app/TForm1.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "core/common/Schema.h"
#include "tables/Database.h"
#include "ui/common/Controls.h"
#include "ui/common/Mesaj.h"

namespace tvx::ui {

TForm1::TForm1(core::Session& session, Steps steps, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      session_(session),
      steps_(std::move(steps)) {
    NameControl(this, "TForm1", "Pornire");
    setAttribute(Qt::WA_StyledBackground);
    setWindowTitle(core::kApplicationTitle);
    Title1 = new QLabel(core::kSplashTitleDesign, this);
    NameControl(Title1, "Title1", "Titlu");
    Title2 = new QLabel(core::kSplashTitleDesign, this);
    NameControl(Title2, "Title2", "Titlu");
    Title1->setText(core::kVersionText);  // the design text gives way to the version
    Title2->setText(core::kVersionText);
    Title1->setProperty("role", "splashTitle");
    // The second title is the first one's shadow: a drop-shadow effect draws it better.
    Title2->hide();
    auto* shadow = new QGraphicsDropShadowEffect(Title1);
    shadow->setBlurRadius(6);
    shadow->setOffset(2, 2);
    shadow->setColor(QColor(0, 0, 0, 90));
    Title1->setGraphicsEffect(shadow);
    Line = new QLabel(core::kSplashLine, this);
    NameControl(Line, "Line", "Descriere");
    Status = new QLabel(core::kSplashLoading, this);
    NameControl(Status, "Status", "Stare");
    Bar = new QProgressBar(this);
    NameControl(Bar, "Bar", "Progres");
    Bar->setRange(0, 100);
    Bar->setValue(0);
    for (QLabel* label : {Title1, Line, Status}) label->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 28, 36, 24);
    layout->setSpacing(10);
    layout->addWidget(Title1);
    layout->addWidget(Line);
    layout->addSpacing(16);
    layout->addWidget(Status);
    layout->addWidget(Bar);
    setFixedSize(520, 240);

    Timer1.setSingleShot(true);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
}

QString TForm1::status() const {
    return Status->text();
}

int TForm1::progress() const {
    return Bar->value();
}

void TForm1::setStatus(const QString& text) {
    Status->setText(text);
    QApplication::processEvents();
}

void TForm1::setProgress(int position) {
    Bar->setValue(position);
    QApplication::processEvents();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1.start();
}

void TForm1::Timer1Timer() {
    Timer1.stop();
    for (int guard = 0; !isVisible() && guard < 100; ++guard) QApplication::processEvents();
    // One notation for the whole run, whatever the desktop's regional settings.
    QLocale::setDefault(QLocale::c());

    std::optional<core::Message> restoreNotice;
    try {
        restoreNotice = core::PrepareData(session_);
    } catch (const std::exception& error) {
        hide();
        ShowError(error.what());
        if (steps_.startFailed) steps_.startFailed();
        return;
    }
    // What the opening of the data directory found (a journal it could not play).
    for (const std::string& notice : session_.db().notices())
        Mesaj("Atentie", QString::fromStdString(notice), kButtonOK, kKindWarning);

    QString problem;
    try {
        if (steps_.setMainTitle) steps_.setMainTitle();
        if (steps_.loadProfile) steps_.loadProfile();
        setStatus(core::kSplashPacking);
        problem = QString::fromStdString(
            core::TidyTables(session_.db(), [this](int position) { setProgress(position); }));
    } catch (const std::exception& error) {
        problem = error.what();
    }
    hide();
    if (restoreNotice) Mesaj(*restoreNotice, kButtonOK);  // an interrupted restore put right
    if (!problem.isEmpty()) ShowError(problem);
    if (steps_.showMain) steps_.showMain();
}

}  // namespace tvx::ui

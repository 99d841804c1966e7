// The main window: login panel, button row, report menu, keys.
#include "ui/app/TForm3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "core/admin/Users.h"
#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "tables/EngineError.h"
#include "ui/app/Icons.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Pickers.h"

namespace tvx::ui {

namespace {

constexpr int kHintMs = 5000;
constexpr int kUserFieldWidth = 32;

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A long caption goes on two lines, broken at the blank nearest its middle, so that the ten
// buttons fit across a screen; the accessible name keeps the caption as it is.
QString ButtonText(const QString& caption) {
    if (caption.size() <= 12) return caption;
    int best = -1;
    for (int i = 0; i < caption.size(); ++i)
        if (caption[i] == ' ' &&
            (best < 0 || std::abs(i - caption.size() / 2) < std::abs(best - caption.size() / 2)))
            best = i;
    if (best < 0) return caption;
    QString text = caption;
    text[best] = '\n';
    return text;
}

}  // namespace

TForm3::TForm3(core::Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    NameControl(this, "TForm3", "Fereastra principala");
    setWindowTitle(core::kVersionText);
    periodPicker_ = new TAlegeDataF(this);
    monthPicker_ = new TAlegeLunaF(this);

    auto* central = new QWidget(this);
    auto* strip = new QHBoxLayout(central);
    strip->setContentsMargins(8, 6, 12, 6);
    pages_ = new QStackedWidget(central);
    pages_->addWidget(buildLoginPanel());
    pages_->addWidget(buildButtonRow());
    strip->addWidget(pages_, 1);
    strip->addWidget(buildRightSide());
    setCentralWidget(central);
    statusBar()->showMessage(core::kMainStatusLine);
    statusBar()->setSizeGripEnabled(false);
    buildReportMenu();
    EnterEscFilter::install(this, LogBut, Parola);
    refreshButtons();
}

QWidget* TForm3::buildLoginPanel() {
    auto* panel = new QWidget(this);
    NameControl(panel, "LoginPanel", "Autentificare");
    UserName = new QLineEdit(panel);
    NameControl(UserName, "UserName", "Numele");
    ConfigureTextBox(UserName, kUserFieldWidth, true);
    Parola = new QLineEdit(panel);
    NameControl(Parola, "Parola", "Parola");
    ConfigureTextBox(Parola, kUserFieldWidth, true);
    Parola->setEchoMode(QLineEdit::Password);
    LogBut = MakeButton("LogBut", "START", panel);
    LogBut->setProperty("role", "login");
    for (QLineEdit* box : {UserName, Parola}) box->setMinimumWidth(200);

    auto* grid = new QHBoxLayout(panel);
    grid->setSpacing(10);
    auto* nameLabel = new QLabel("Numele", panel);
    nameLabel->setBuddy(UserName);
    auto* passLabel = new QLabel("Parola", panel);
    passLabel->setBuddy(Parola);
    grid->addWidget(nameLabel);
    grid->addWidget(UserName);
    grid->addSpacing(12);
    grid->addWidget(passLabel);
    grid->addWidget(Parola);
    grid->addSpacing(12);
    grid->addWidget(LogBut);
    grid->addStretch(1);
    connect(LogBut, &QPushButton::clicked, this, [this] { LogButClick(); });
    return panel;
}

QWidget* TForm3::buildButtonRow() {
    auto* row = new QWidget(this);
    NameControl(row, "ButtonRow", "Butoane");
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (const core::MainButton& def : core::MainButtons()) {
        auto* button = new QToolButton(row);
        NameControl(button, def.name, def.caption);
        button->setText(ButtonText(def.caption));
        button->setToolTip(def.hint);
        button->setToolTipDuration(kHintMs);
        button->setAccessibleDescription(def.hint);
        button->setIcon(MainButtonIcon(def.command));
        button->setIconSize(QSize(40, 40));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setProperty("role", "main");
        button->setFocusPolicy(Qt::StrongFocus);
        const core::MainCommand command = def.command;
        connect(button, &QToolButton::clicked, this, [this, command] { ButtonClick(command); });
        layout->addWidget(button);
        buttons_[def.command] = button;
    }
    layout->addStretch(1);
    return row;
}

QWidget* TForm3::buildRightSide() {
    auto* side = new QWidget(this);
    auto* layout = new QVBoxLayout(side);
    layout->setContentsMargins(0, 0, 0, 0);
    DateLabel = new QLabel(Q(core::Today().toString()), side);
    NameControl(DateLabel, "DateLabel", "Data de azi");
    DateLabel->setProperty("role", "date");
    DateLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CompanyLabel = new QLabel(side);
    NameControl(CompanyLabel, "CompanyLabel", "Societatea");
    CompanyLabel->setProperty("role", "company");
    CompanyLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(DateLabel);
    layout->addWidget(CompanyLabel);
    layout->addStretch(1);
    return side;
}

void TForm3::buildReportMenu() {
    Pop1 = new QMenu(this);
    NameControl(Pop1, "Pop1", "Rapoarte");
    addReportItems(Pop1, core::ReportMenu());
}

void TForm3::addReportItems(QMenu* menu, const std::vector<core::ReportItem>& items) {
    for (const core::ReportItem& item : items) {
        if (!item.children.empty()) {
            QMenu* sub = menu->addMenu(item.caption);
            sub->setObjectName(QString("Pop1_") + item.caption);
            addReportItems(sub, item.children);
            continue;
        }
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(QString("Pop1_") + item.caption);
        if (item.heading) {
            action->setEnabled(false);
            continue;
        }
        action->setEnabled(false);  // until its report exists
        reportActions_[item.id] = action;
        connect(action, &QAction::triggered, this, [this, &item] { ReportClick(item); });
    }
}

void TForm3::setOpener(core::MainCommand command, std::function<void()> open) {
    openers_[command] = std::move(open);
    refreshButtons();
}

void TForm3::setReportHandler(core::ReportId id, std::function<void(const ReportRequest&)> run) {
    reports_[id] = std::move(run);
    if (auto it = reportActions_.find(id); it != reportActions_.end())
        it->second->setEnabled(static_cast<bool>(reports_[id]));
}

void TForm3::setCompany(const QString& name, bool workshop) {
    CompanyLabel->setText(name);
    workshop_ = workshop;
    refreshButtons();
}

QToolButton* TForm3::button(core::MainCommand command) const {
    auto it = buttons_.find(command);
    return it == buttons_.end() ? nullptr : it->second;
}

void TForm3::refreshButtons() {
    using C = core::MainCommand;
    for (auto& [command, button] : buttons_) {
        button->setVisible(core::MainButtonShown(command, session_.grade, workshop_));
        const bool own = command == C::Reports || command == C::LogOut;
        auto it = openers_.find(command);
        button->setEnabled(own || (it != openers_.end() && it->second));
    }
}

void TForm3::ShowLoggedOut() {
    pages_->setCurrentIndex(0);
    setWindowTitle(core::kVersionText);
    show();
    stretchAcrossScreen();
    raise();
    activateWindow();
    UserName->setFocus();
}

void TForm3::stretchAcrossScreen() {
    QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    setGeometry(area.left(), area.top(), area.width(), sizeHint().height());
}

void TForm3::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    stretchAcrossScreen();
}

void TForm3::LogButClick() {
    core::LoginResult login;
    try {
        login = core::LogIn(session_.dataDir(), UserName->text().toStdString(),
                            Parola->text().toStdString());
    } catch (const std::exception& error) {
        ShowError(error.what());
        return;
    }
    UserName->setText(Q(login.nameField));
    if (login.firstStart) Mesaj(*login.firstStart);
    if (!login.loggedIn) return;
    session_.logIn(login);
    emit loggedIn(session_.grade);
    refreshButtons();
    pages_->setCurrentIndex(1);
    setWindowTitle(Q(core::LoggedInTitle(login)));
    if (QToolButton* first = button(core::MainCommand::IncomingInvoices)) first->setFocus();
}

void TForm3::Label1Click() {
    setWindowTitle(core::kVersionText);
    session_.logOut();
    pages_->setCurrentIndex(0);
    Parola->clear();
    refreshButtons();
    UserName->setFocus();
}

void TForm3::ButtonClick(core::MainCommand command) {
    using C = core::MainCommand;
    if (command == C::LogOut) {
        Label1Click();
        return;
    }
    if (command == C::Reports) {
        QToolButton* reports = button(C::Reports);
        Pop1->popup(reports->mapToGlobal(QPoint(0, reports->height())));
        return;
    }
    auto it = openers_.find(command);
    if (it == openers_.end() || !it->second) return;
    try {
        it->second();
    } catch (const std::exception& error) {
        ShowError(error.what());
    }
}

void TForm3::ReportClick(const core::ReportItem& item) {
    auto handler = reports_.find(item.id);
    if (handler == reports_.end() || !handler->second) return;
    ReportRequest request;
    request.id = item.id;
    try {
        if (item.picker == core::ReportPicker::Month) {
            monthPicker_->setTitle(item.pickerTitle);
            if (!monthPicker_->Alege()) return;
            request.from = monthPicker_->choice().first();
            request.to = monthPicker_->choice().last();
        } else if (item.picker == core::ReportPicker::Period) {
            periodPicker_->setTitle(item.pickerTitle);
            periodPicker_->setLocationVisible(item.withLocation);
            periodPicker_->setRepresentativeVisible(item.withRepresentative);
            if (item.withRepresentative) {
                QComboBox* chooser = periodPicker_->representatives();
                chooser->clear();
                const std::string factOut = core::TableFile(session_.db(), "FactOut").string();
                for (const std::string& name :
                     core::FillDistinct(session_.db(), factOut, "", "REPREZ"))
                    chooser->addItem(Q(name));
            }
            const bool chosen = periodPicker_->Alege(session_.locations.names());
            periodPicker_->setLocationVisible(true);
            periodPicker_->setRepresentativeVisible(false);
            if (!chosen) return;
            const core::PeriodChoice& choice = periodPicker_->choice();
            request.from = choice.from;
            request.to = choice.to;
            if (item.withLocation && !choice.allLocations())
                request.location = choice.locations[choice.location];
            request.representative = choice.representative;
        }
        handler->second(request);
    } catch (const std::exception& error) {
        periodPicker_->setLocationVisible(true);
        periodPicker_->setRepresentativeVisible(false);
        ShowError(error.what());
    }
}

void TForm3::FormKeyDown(int key) {
    if (key == Qt::Key_F12) {
        close();
        return;
    }
    if (key < Qt::Key_F1 || key > Qt::Key_F5 || pages_->currentIndex() != 1) return;
    const core::MainButton* def = core::ButtonOfKey(key - Qt::Key_F1 + 1);
    if (!def) return;
    QToolButton* target = button(def->command);
    if (target && target->isVisibleTo(this) && target->isEnabled()) target->click();
}

void TForm3::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_F12 || (key >= Qt::Key_F1 && key <= Qt::Key_F5)) {
        FormKeyDown(key);
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TForm3::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace tvx::ui

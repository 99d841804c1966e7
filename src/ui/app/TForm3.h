// The main window (ui/app): a strip across the top of the screen with the login panel, or,
// after a login, the row of large buttons that open the working windows and the report
// menu; today's date and the company name at the right. Closing it ends the program.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <string>

#include "core/app/MainMenu.h"
#include "tables/Date.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStackedWidget;
class QToolButton;

namespace tvx::core {
class Session;
}

namespace tvx::ui {

class TAlegeDataF;
class TAlegeLunaF;

// What a report of the menu is started with, once its picker (if any) was confirmed.
struct ReportRequest {
    core::ReportId id = core::ReportId::None;
    tables::Date from;
    tables::Date to;
    std::string location;  // empty: every location
    std::string representative;
};

class TForm3 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm3(core::Session& session, QWidget* parent = nullptr);

    // Shows the window logged out, across the whole width of the screen at its top.
    void ShowLoggedOut();

    // What a button opens; a button without one stays disabled. "Rapoarte" and "Iesire" are
    // the window's own.
    void setOpener(core::MainCommand command, std::function<void()> open);
    // The report an item of the menu starts; an item without one stays disabled.
    void setReportHandler(core::ReportId id, std::function<void(const ReportRequest&)> run);

    // The company line at the right, and whether "Precomenzi" belongs to the activity.
    void setCompany(const QString& name, bool workshop);

    QToolButton* button(core::MainCommand command) const;
    QMenu* reportMenu() const { return Pop1; }
    TAlegeDataF& periodPicker() const { return *periodPicker_; }
    TAlegeLunaF& monthPicker() const { return *monthPicker_; }

    // "START" and "Iesire".
    void LogButClick();
    void Label1Click();

  signals:
    // After a successful login, with its grade (the administration window sets its access).
    void loggedIn(int grade);
    // The window was closed (Esc, F12): the program ends.
    void closed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildLoginPanel();
    QWidget* buildButtonRow();
    QWidget* buildRightSide();
    void buildReportMenu();
    void addReportItems(QMenu* menu, const std::vector<core::ReportItem>& items);
    void ButtonClick(core::MainCommand command);
    void ReportClick(const core::ReportItem& item);
    void FormKeyDown(int key);
    void refreshButtons();
    void stretchAcrossScreen();

    core::Session& session_;
    QStackedWidget* pages_;
    QLineEdit* UserName;
    QLineEdit* Parola;
    QPushButton* LogBut;
    QLabel* DateLabel;
    QLabel* CompanyLabel;
    QMenu* Pop1;
    std::map<core::MainCommand, QToolButton*> buttons_;
    std::map<core::MainCommand, std::function<void()>> openers_;
    std::map<core::ReportId, std::function<void(const ReportRequest&)>> reports_;
    std::map<core::ReportId, QAction*> reportActions_;
    bool workshop_ = false;
    TAlegeDataF* periodPicker_;
    TAlegeLunaF* monthPicker_;
};

}  // namespace tvx::ui

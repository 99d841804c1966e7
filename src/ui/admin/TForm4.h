// The administration window "Administrator program" (ui/admin): the company profile, the
// document series and next numbers, the bank accounts, the stock locations, the users, the
// stamp picture and the editable printing templates. The window binds its controls to the
// core objects of core/admin and the session; the company fields are reloaded from the
// settings file at start-up and whenever the window closes, so the other windows read the
// profile from the session.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/BankAccounts.h"
#include "core/admin/Users.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace tvx::core {
class CompanyProfile;
class Session;
}  // namespace tvx::core

namespace tvx::tables {
class ResultSet;
}

namespace tvx::ui {

class ResultSetModel;
class TAddCont;
class TFAddUser;

class TForm4 : public QDialog {
    Q_OBJECT
  public:
    explicit TForm4(core::Session& session, QWidget* parent = nullptr);
    ~TForm4() override;

    // Loading the company profile (start-up and after every close): session.loadProfile(),
    // fields from session.profile / session.locations, accounts refilled, workshop controls
    // shown only for "SERVICE AUTO"; then emits profileLoaded().
    void LoadProfile();
    // Access by grade, set at every login.
    void SetAccess(int grade);
    // "Setari": u.dbf from the users file, grid, accounts; modal; on any close: grid closed,
    // u.dbf deleted, LoadProfile().
    void Open();
    // "Normativ de timp" opens the time norms once that window exists; until set the button
    // is disabled.
    void setTimeNormsOpener(std::function<void()> open);
    // Opens a file in the program the system associates with it (QDesktopServices by
    // default); tests replace it.
    static void setFileOpener(std::function<bool(const QString& path)> open);

  signals:
    void profileLoaded();  // the main window refreshes its company line and "Precomenzi"

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Builds the controls and the layout (TForm4Layout.cpp).
    void BuildControls();
    void BuildLayout();
    void ConnectCommands();

    // Company fields.
    void ShowFields(const core::CompanyProfile& profile);
    core::CompanyProfile ReadFields() const;
    void ShowWorkshop(bool workshop);
    void SaveClick();
    void DomeniuActivitateChange();

    // Stock locations (the session's list, written at every change).
    void ShowLocations();
    void TakeLocationInput();
    void AddGesClick();
    void EditGesClick();
    void DelGesClick();
    void GesListaDblClick();

    // Users (the work table u.dbf while the window is open).
    void ReopenGrid(const std::string& name = {});
    void CloseGrid();
    std::optional<core::UserRecord> CurrentUser() const;
    std::vector<std::string> UserNames() const;
    TFAddUser& UserDialog();
    void AddUserClick();
    void EditUserClick();
    void DelUserClick();

    // Bank accounts (table Conturi, written at every change).
    void RefillAccounts();
    void ShowAccounts();
    TAddCont& IbanDialog();
    void ContChange();
    void AddContBClick();
    void EditContBClick();
    void DelContBClick();

    // Stamp picture and printing templates.
    void SelPozaClick();
    void DelPoza();
    void ModificareModele();
    void NIRDelClick();
    void ModelButClick();
    void NormaButClick();

    core::Session& session_;
    std::optional<core::BankAccounts> accounts_;
    std::unique_ptr<core::UserList> users_;
    std::unique_ptr<tables::ResultSet> userRows_;
    std::function<void()> timeNormsOpener_;
    TFAddUser* userDialog_ = nullptr;
    TAddCont* ibanDialog_ = nullptr;

    QLineEdit* DenumSoc;
    QLineEdit* RegCom;
    QLineEdit* CodFisc;
    QLineEdit* Adresa;
    QLineEdit* Localit;
    QComboBox* Jud;
    QComboBox* Cont;
    QLabel* ContBanca;
    QPushButton* AddContB;
    QPushButton* EditContB;
    QPushButton* DelContB;
    QLineEdit* Capital;
    QComboBox* DomeniuActivitate;
    QLineEdit* TelFax;
    QCheckBox* TVALaInc;
    QCheckBox* SplitTVA;
    QCheckBox* OfficeOld;

    QLineEdit* FactSeriaEd;
    QLineEdit* FactNrMaxEd;
    QLineEdit* FactNrEd;
    QLineEdit* ChitSeriaEd;
    QLineEdit* ChitNrMaxEd;
    QLineEdit* ChitNrEd;
    QLineEdit* AvizSeria;

    QLineEdit* GesEdit;
    QListWidget* GesLista;
    QPushButton* AddGes;
    QPushButton* EditGes;
    QPushButton* DelGes;

    QTableView* Utilizatori;
    ResultSetModel* userModel_;
    QPushButton* AddUser;
    QPushButton* EditUser;
    QPushButton* DelUser;

    QPushButton* SelPoza;
    QPushButton* DelPozaBut;
    QPushButton* EditModeleB;
    QPushButton* ModelBut;
    QPushButton* NormaBut;

    QPushButton* SaveBut;
    QPushButton* Renunt;
};

}  // namespace tvx::ui

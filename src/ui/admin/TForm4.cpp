// The administration window's commands (ui/admin): loading and saving the company profile,
// access by grade, and the users, locations, accounts, picture and template commands, each
// handing its checks and statements to core/admin and showing the outcome. An engine error
// never leaves a command: it is shown in the message window with the engine's text.
#include "ui/admin/TForm4.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <exception>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/admin/PrintTemplates.h"
#include "core/admin/StampPicture.h"
#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/workshop/PreOrderPrint.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"
#include "ui/common/SmallDialogs.h"

namespace tvx::ui {

namespace {

namespace fs = std::filesystem;

std::function<bool(const QString&)>& FileOpener() {
    static std::function<bool(const QString&)> open = [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    return open;
}

}  // namespace

void TForm4::setFileOpener(std::function<bool(const QString& path)> open) {
    FileOpener() = std::move(open);
}

TForm4::TForm4(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TForm4", "Administrator program");
    setWindowTitle("Administrator program");
    BuildControls();
    BuildLayout();
    ConnectCommands();
    // Enter only moves on here: the window saves on its button alone.
    EnterEscFilter::install(this);
    GesEdit->installEventFilter(this);  // after the shared filter, so it sees Enter first
    ShowWorkshop(false);
}

TForm4::~TForm4() {
    CloseGrid();
}

void TForm4::ConnectCommands() {
    connect(SaveBut, &QPushButton::clicked, this, [this] { SaveClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    connect(DomeniuActivitate, &QComboBox::currentIndexChanged, this,
            [this] { DomeniuActivitateChange(); });
    connect(AddGes, &QPushButton::clicked, this, [this] { AddGesClick(); });
    connect(EditGes, &QPushButton::clicked, this, [this] { EditGesClick(); });
    connect(DelGes, &QPushButton::clicked, this, [this] { DelGesClick(); });
    connect(GesLista, &QListWidget::itemDoubleClicked, this, [this] { GesListaDblClick(); });
    connect(AddUser, &QPushButton::clicked, this, [this] { AddUserClick(); });
    connect(EditUser, &QPushButton::clicked, this, [this] { EditUserClick(); });
    connect(DelUser, &QPushButton::clicked, this, [this] { DelUserClick(); });
    connect(Cont, &QComboBox::currentIndexChanged, this, [this] { ContChange(); });
    connect(AddContB, &QPushButton::clicked, this, [this] { AddContBClick(); });
    connect(EditContB, &QPushButton::clicked, this, [this] { EditContBClick(); });
    connect(DelContB, &QPushButton::clicked, this, [this] { DelContBClick(); });
    connect(SelPoza, &QPushButton::clicked, this, [this] { SelPozaClick(); });
    connect(DelPozaBut, &QPushButton::clicked, this, [this] { DelPoza(); });
    connect(ModelBut, &QPushButton::clicked, this, [this] { ModelButClick(); });
    connect(NormaBut, &QPushButton::clicked, this, [this] { NormaButClick(); });
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
    if (watched == GesEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            AddGesClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- Company profile ----

void TForm4::LoadProfile() {
    Guarded([&] { session_.loadProfile(); });
    ShowFields(session_.profile);
    ShowLocations();
    RefillAccounts();
    ShowWorkshop(session_.profile.workshop());
    emit profileLoaded();
}

void TForm4::ShowFields(const core::CompanyProfile& profile) {
    DenumSoc->setText(Text(profile.denumire));
    RegCom->setText(Text(profile.regCom));
    CodFisc->setText(Text(profile.codFisc));
    Adresa->setText(Text(profile.adresa));
    Localit->setText(Text(profile.localit));
    std::vector<std::string> counties;
    for (const core::County& county : core::Counties()) counties.emplace_back(county.name);
    Jud->setCurrentIndex(core::SelectListItem(counties, profile.judet));
    Capital->setText(Text(profile.capital));
    DomeniuActivitate->setCurrentIndex(DomeniuActivitate->findText(Text(profile.domeniu)));
    TelFax->setText(Text(profile.telFax));
    TVALaInc->setChecked(profile.tvaLaInc);
    SplitTVA->setChecked(profile.splitTva);
    OfficeOld->setChecked(profile.officeOld);
    FactSeriaEd->setText(Text(profile.factSeria));
    FactNrMaxEd->setText(Text(profile.factNrMax));
    FactNrEd->setText(Text(profile.factNr));
    ChitSeriaEd->setText(Text(profile.chitSeria));
    ChitNrMaxEd->setText(Text(profile.chitNrMax));
    ChitNrEd->setText(Text(profile.chitNr));
    AvizSeria->setText(Text(profile.avizSeria));
}

core::CompanyProfile TForm4::ReadFields() const {
    core::CompanyProfile profile;
    profile.denumire = Std(DenumSoc);
    profile.regCom = Std(RegCom);
    profile.codFisc = Std(CodFisc);
    profile.adresa = Std(Adresa);
    profile.localit = Std(Localit);
    profile.judet = Jud->currentIndex() >= 0 ? Jud->currentText().toStdString() : std::string();
    profile.capital = Std(Capital);
    profile.domeniu = DomeniuActivitate->currentText().toStdString();
    profile.telFax = Std(TelFax);
    profile.tvaLaInc = TVALaInc->isChecked();
    profile.splitTva = SplitTVA->isChecked();
    profile.officeOld = OfficeOld->isChecked();
    profile.factSeria = Std(FactSeriaEd);
    profile.factNrMax = Std(FactNrMaxEd);
    profile.factNr = Std(FactNrEd);
    profile.chitSeria = Std(ChitSeriaEd);
    profile.chitNrMax = Std(ChitNrMaxEd);
    profile.chitNr = Std(ChitNrEd);
    profile.avizSeria = Std(AvizSeria);
    return profile;
}

void TForm4::ShowWorkshop(bool workshop) {
    ModelBut->setVisible(workshop);
    NormaBut->setVisible(workshop);
}

void TForm4::DomeniuActivitateChange() {
    ShowWorkshop(DomeniuActivitate->currentText() == core::CompanyProfile::kServiceAuto);
}

void TForm4::SetAccess(int grade) {
    const core::AdminAccess access = core::AccessForGrade(grade);
    for (const char* name : core::CompanyControls()) {
        auto* control = findChild<QWidget*>(QString::fromUtf8(name));
        Q_ASSERT_X(control, "TForm4::SetAccess", name);
        if (control) control->setEnabled(access.companyEditable);
    }
    for (QWidget* button : {AddContB, EditContB, DelContB})
        button->setVisible(access.accountButtonsVisible);
    for (QWidget* control :
         std::initializer_list<QWidget*>{AddUser, DelUser, DelPozaBut, EditModeleB})
        control->setEnabled(access.adminOnlyEnabled);
}

void TForm4::SaveClick() {
    core::CompanyProfile profile = ReadFields();
    const auto problem = profile.checkForSave();
    CodFisc->setText(Text(profile.codFisc));  // trimmed
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    if (!profile.vatPayer()) {  // only VAT payers use split VAT
        profile.splitTva = false;
        SplitTVA->setChecked(false);
    }
    if (Cont->count() == 0 && !Confirmed(core::CompanyProfile::noAccountQuestion())) return;
    const bool saved = Guarded([&] {
        core::SaveAdministration(session_.db(), session_.settings(), profile, session_.locations,
                                 users_.get());
    });
    if (!saved) return;
    session_.profile = profile;
    accept();
}

// ---- Stock locations ----

void TForm4::ShowLocations() {
    const core::Locations& locations = session_.locations;
    GesLista->clear();
    for (const std::string& name : locations.names()) GesLista->addItem(Text(name));
    GesLista->setCurrentRow(locations.selected);
    GesEdit->setText(Text(locations.editText));
}

void TForm4::TakeLocationInput() {
    core::Locations& locations = session_.locations;
    locations.editText = Std(GesEdit);
    const QListWidgetItem* item = GesLista->currentItem();
    locations.selected = item && item->isSelected() ? GesLista->currentRow() : -1;
}

void TForm4::AddGesClick() {
    TakeLocationInput();
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = session_.locations.add(); })) return;
    ShowLocations();
    if (problem) ShowProblem(*problem, this);
}

void TForm4::GesListaDblClick() {
    TakeLocationInput();
    session_.locations.copySelectedToEdit();
    GesEdit->setText(Text(session_.locations.editText));
}

void TForm4::EditGesClick() {
    TakeLocationInput();
    core::Locations& locations = session_.locations;
    if (auto problem = locations.renameProblem()) {
        GesEdit->setText(Text(locations.editText));
        ShowProblem(*problem, this);
        return;
    }
    GesEdit->setText(Text(locations.editText));
    if (!Confirmed(locations.renameQuestion())) return;
    TContor& progress = TContor::instance();
    progress.Arata(this);
    const bool renamed = Guarded([&] {
        locations.rename(session_.db(), [&progress](const std::string& text, int position) {
            progress.setText(Text(text));
            progress.setPosition(position);
        });
    });
    progress.Distruge(this);
    if (!renamed) {
        // The rename is all or nothing: the list is as it was; its file is written again.
        Guarded([&] { locations.save(); });
        return;
    }
    ShowLocations();
}

void TForm4::DelGesClick() {
    TakeLocationInput();
    core::Locations& locations = session_.locations;
    if (auto problem = locations.deleteProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(locations.deleteQuestion())) return;
    std::optional<core::Message> refusal;
    if (!Guarded([&] { refusal = locations.remove(session_.db()); })) return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    ShowLocations();
}

// ---- Users ----

void TForm4::ReopenGrid(const std::string& name) {
    if (!users_) return;
    Guarded([&] {
        const std::string table = core::QuotedPath(session_.programFolder() / "u.dbf");
        auto rows = std::make_unique<tables::ResultSet>(
            session_.db().query("SELECT * FROM " + table + " ORDER BY NUME"));
        rows->first();
        if (!name.empty() && !rows->locate("NUME", tables::Value(name))) rows->first();
        userModel_->setResultSet(rows.get(), {{"NUME", "Numele", {}}, {"GRAD", "Rangul", {}}});
        userRows_ = std::move(rows);
    });
}

void TForm4::CloseGrid() {
    userModel_->setResultSet(nullptr);
    userRows_.reset();
}

std::optional<core::UserRecord> TForm4::CurrentUser() const {
    if (!userRows_ || userRows_->eof()) return std::nullopt;
    return core::UserRecord{userRows_->asText("NUME"), userRows_->asText("PAROLA"),
                            core::GradeFromName(userRows_->asText("GRAD"))};
}

std::vector<std::string> TForm4::UserNames() const {
    std::vector<std::string> names;
    if (users_)
        for (const core::UserRecord& user : users_->rows()) names.push_back(user.name);
    return names;
}

TFAddUser& TForm4::UserDialog() {
    if (!userDialog_) userDialog_ = new TFAddUser(this);
    return *userDialog_;
}

void TForm4::AddUserClick() {
    if (!users_) return;
    std::vector<std::string> names;
    if (!Guarded([&] { names = UserNames(); })) return;
    TFAddUser& dialog = UserDialog();
    dialog.entry() = core::UserEntry{};
    dialog.setPasswordsEnabled(true);
    dialog.setNameEditable(true);
    dialog.setGradeShown(true);
    if (!dialog.Edit("Adaugare Utilizator", names)) return;
    const core::UserEntry& entry = dialog.entry();
    if (Guarded([&] { users_->add(entry.name, entry.password, entry.gradeNumber()); }))
        ReopenGrid(entry.name);
}

void TForm4::EditUserClick() {
    if (!users_) return;
    const std::optional<core::UserRecord> user = CurrentUser();
    if (!user) return;
    if (auto refusal =
            core::UserList::modifyRefusal(session_.userName, session_.grade, user->name)) {
        Mesaj(*refusal);
        return;
    }
    const bool gradeShown = core::UserList::gradeChoiceShown(session_.grade, user->name);
    TFAddUser& dialog = UserDialog();
    core::UserEntry& entry = dialog.entry();
    entry = core::UserEntry{};
    entry.name = user->name;
    entry.password = entry.confirmation = user->password;
    entry.grade = user->grade == core::kGradeCasier ? 1 : 0;
    dialog.setPasswordsEnabled(true);
    dialog.setNameEditable(false);
    dialog.setGradeShown(gradeShown);
    if (!dialog.Edit("Modificare utilizator", {})) return;
    // A hidden grade choice keeps the row's grade.
    const int grade = gradeShown ? entry.gradeNumber() : user->grade;
    if (Guarded([&] { users_->modify(user->name, entry.password, grade); })) ReopenGrid(user->name);
}

void TForm4::DelUserClick() {
    if (!users_) return;
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = users_->deleteProblem(); })) return;
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    const std::optional<core::UserRecord> user = CurrentUser();
    if (!user || !Confirmed(core::UserList::deleteQuestion(user->name))) return;
    if (Guarded([&] { users_->remove(user->name); })) ReopenGrid();
}

// ---- Bank accounts ----

void TForm4::RefillAccounts() {
    Guarded([&] {
        accounts_.emplace(session_.db());  // the engine may be a new one after a restore
        accounts_->load();
    });
    ShowAccounts();
}

void TForm4::ShowAccounts() {
    const QSignalBlocker quiet(Cont);
    Cont->clear();
    if (accounts_) {
        for (const std::string& iban : accounts_->accounts()) Cont->addItem(Text(iban));
        Cont->setCurrentIndex(accounts_->selected);
    }
    ContBanca->setText(accounts_ ? Text(accounts_->selectedBank()) : QString());
    const bool any = accounts_ && accounts_->canChange();
    EditContB->setEnabled(any);
    DelContB->setEnabled(any);
}

void TForm4::ContChange() {
    if (!accounts_) return;
    accounts_->selected = Cont->currentIndex();
    ContBanca->setText(Text(accounts_->selectedBank()));
}

TAddCont& TForm4::IbanDialog() {
    if (!ibanDialog_) ibanDialog_ = new TAddCont(this);
    return *ibanDialog_;
}

void TForm4::AddContBClick() {
    if (!accounts_) return;
    TAddCont& dialog = IbanDialog();
    if (!dialog.Edit(QString())) return;
    const std::string iban = dialog.result().toStdString();
    std::optional<core::Message> refusal;
    if (!Guarded(
            [&] { refusal = accounts_->add(session_.settings(), iban, core::BankNameOf(iban)); }))
        return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    ShowAccounts();
}

void TForm4::EditContBClick() {
    if (!accounts_) return;
    ContChange();
    if (auto problem = accounts_->choiceProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    TAddCont& dialog = IbanDialog();
    if (!dialog.Edit(Cont->currentText())) return;
    const std::string iban = dialog.result().toStdString();
    std::optional<core::Message> refusal;
    if (!Guarded([&] { refusal = accounts_->modify(iban, core::BankNameOf(iban)); })) return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    ShowAccounts();
}

void TForm4::DelContBClick() {
    if (!accounts_) return;
    ContChange();
    if (auto problem = accounts_->choiceProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(accounts_->deleteQuestion())) return;
    Guarded([&] { accounts_->remove(); });
    ShowAccounts();
}

// ---- Stamp picture and printing templates ----

void TForm4::SelPozaClick() {
    QFileDialog chooser(this, QString::fromUtf8(core::kStampChooserTitle));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setNameFilters(FileNameFilters(core::kStampChooserFilter));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const fs::path picture = chooser.selectedFiles().constFirst().toStdString();
    core::Message notice;
    if (Guarded([&] { notice = core::StorePicture(session_.dataDir(), picture); })) Mesaj(notice);
}

void TForm4::DelPoza() {
    core::Message notice;
    if (Guarded([&] { notice = core::DeletePicture(session_.dataDir()); })) Mesaj(notice);
}

void TForm4::ModificareModele() {
    const fs::path file = core::NirTemplateFile(session_.dataDir());
    const std::string title = "Modificare model";
    if (auto missing = core::MissingTemplate(title, file)) {
        Mesaj(*missing);
        return;
    }
    if (!FileOpener()(QString::fromStdString(file.string()))) Mesaj(core::OpenFailed(title, file));
}

void TForm4::NIRDelClick() {
    if (!Confirmed(core::RestoreTemplateQuestion())) return;
    Mesaj(core::RestoreTemplate(core::kNirTemplateName, core::NirTemplateFile(session_.dataDir())));
}

void TForm4::ModelButClick() {
    const fs::path file = core::PreorderTemplateFile(session_.dataDir());
    const core::Message notice = core::PreorderTemplateNotice();
    // A fresh install has no copy yet: the embedded one is written first.
    if (auto missing = core::PreorderTemplateForEditing(session_.dataDir(), notice.title)) {
        Mesaj(*missing);
        return;
    }
    Mesaj(notice);
    if (!FileOpener()(QString::fromStdString(file.string())))
        Mesaj(core::OpenFailed(notice.title, file));
}

void TForm4::setTimeNormsOpener(std::function<void()> open) {
    timeNormsOpener_ = std::move(open);
    NormaBut->setEnabled(static_cast<bool>(timeNormsOpener_));
}

void TForm4::NormaButClick() {
    if (timeNormsOpener_) timeNormsOpener_();
}

// ---- Opening ----

void TForm4::Open() {
    const bool ready = Guarded([&] {
        users_ = std::make_unique<core::UserList>(session_.db(), session_.programFolder(),
                                                  session_.dataDir() / core::kUsersFileName);
    });
    if (!ready) return;  // a damaged users file: the window would overwrite it
    ReopenGrid();
    RefillAccounts();
    DenumSoc->setFocus();
    exec();
    CloseGrid();
    users_.reset();  // deletes u.dbf
    LoadProfile();
}

}  // namespace tvx::ui

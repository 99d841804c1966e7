// The unit-of-measure chooser, the user dialog and the IBAN dialog (ui/common).
#include "ui/common/SmallDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

namespace {}  // namespace

TUMSF::TUMSF(core::Settings& settings, QWidget* parent) : QDialog(parent), choice_(settings) {
    NameControl(this, "TUMSF", "Unitate de masira");
    setWindowTitle("Unitate de masira");
    auto* question = new QLabel("Alegeti unitatea de masura standardizata pentru", this);
    Unitate = new QLabel(this);
    NameControl(Unitate, "Unitate");
    Unitate->setProperty("role", "banner");
    UMS = new QComboBox(this);
    NameControl(UMS, "UMS", "Unitatea de masura Standardizata");
    for (const auto& item : core::UnitChoice::items()) UMS->addItem(QString::fromStdString(item));
    AutoU = new QCheckBox("Nu ma mai intreba !", this);
    NameControl(AutoU, "AutoU", "Nu ma mai intreba !");
    MemoBut = MakeButton("MemoBut", "&Am ales", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* form = new QFormLayout;
    form->addRow("Unitatea de masura Standardizata", UMS);
    form->addRow(QString(), AutoU);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(Unitate);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, MemoBut);
}

bool TUMSF::Alege(const QString& unit) {
    if (choice_.open(unit.toStdString())) return true;
    Unitate->setText(QString::fromStdString(choice_.unit));
    UMS->setCurrentIndex(choice_.chosen);
    AutoU->setChecked(choice_.dontAsk);
    UMS->setFocus();
    return exec() == QDialog::Accepted;
}

void TUMSF::MemoButClick() {
    choice_.chosen = UMS->currentIndex();
    choice_.dontAsk = AutoU->isChecked();
    if (auto problem = choice_.confirm()) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

TFAddUser::TFAddUser(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFAddUser", "Utilizatori");
    setWindowTitle("Utilizatori");
    Titlu = TitleLine(this, "banner", "ESC - iesire");
    Nume = new QLineEdit(this);
    NameControl(Nume, "Nume", "Nume utilizator");
    Gradul = new QComboBox(this);
    NameControl(Gradul, "Gradul", "Rang");
    for (const auto& name : core::UserEntry::gradeNames())
        Gradul->addItem(QString::fromStdString(name));
    Pas1 = new QLineEdit(this);
    NameControl(Pas1, "Pas1", "Parola");
    Pas2 = new QLineEdit(this);
    NameControl(Pas2, "Pas2", "Confirmare parola");
    ConfigureTextBox(Nume, core::UserEntry::kMaxLength, true);
    for (QLineEdit* box : {Pas1, Pas2}) {
        ConfigureTextBox(box, core::UserEntry::kMaxLength, true);
        box->setEchoMode(QLineEdit::Password);
        box->setStyleSheet("lineedit-password-character: 88;");  // shown as X
    }
    MemoBut = MakeButton("MemoBut", "Memoreaza", this);
    Renunt = MakeButton("Renunt", "Renunt", this);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow("Nume utilizator", Nume);
    form->addRow("Rang", Gradul);
    form->addRow("Parola", Pas1);
    form->addRow("Confirmare parola", Pas2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, MemoBut, Pas2);
}

void TFAddUser::setPasswordsEnabled(bool enabled) {
    entry_.passwordsEnabled = enabled;
    Pas1->setEnabled(enabled);
    Pas2->setEnabled(enabled);
}

void TFAddUser::setNameEditable(bool editable) {
    Nume->setReadOnly(!editable);
}

void TFAddUser::setGradeShown(bool shown) {
    for (QFormLayout* form : findChildren<QFormLayout*>())
        if (form->indexOf(Gradul) >= 0) form->setRowVisible(Gradul, shown);
}

bool TFAddUser::Edit(const QString& title, const std::vector<std::string>& existingNames) {
    existing_ = existingNames;
    entry_.title = title.toStdString();
    Titlu->setText(title);
    Nume->setText(QString::fromStdString(entry_.name));
    Gradul->setCurrentIndex(entry_.grade);
    Pas1->setText(QString::fromStdString(entry_.password));
    Pas2->setText(QString::fromStdString(entry_.confirmation));
    Nume->setFocus();
    return exec() == QDialog::Accepted;
}

void TFAddUser::MemoButClick() {
    entry_.name = Nume->text().toStdString();
    entry_.grade = Gradul->currentIndex();
    entry_.password = Pas1->text().toStdString();
    entry_.confirmation = Pas2->text().toStdString();
    entry_.passwordsEnabled = Pas1->isEnabled();
    auto problem = entry_.confirm(existing_);
    Nume->setText(QString::fromStdString(entry_.name));
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

TAddCont::TAddCont(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TAddCont", "Conturi IBAN");
    setWindowTitle("Conturi IBAN");
    Cont = new QLineEdit(this);
    NameControl(Cont, "Cont", "Cont IBAN");
    ConfigureTextBox(Cont, core::IbanEntry::kMaxLength, true);
    auto* hint = new QLabel("(fara spatii !)", this);
    hint->setProperty("role", "hint");
    Banca = new QLabel(this);
    NameControl(Banca, "Banca", "Banca");
    MemoBut = MakeButton("MemoBut", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* field = new QHBoxLayout;
    field->addWidget(Cont, 1);
    field->addWidget(hint);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow("Cont IBAN", field);
    form->addRow(QString(), Banca);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    connect(Cont, &QLineEdit::textChanged, this, [this](const QString& t) { ContChange(t); });
    connect(MemoBut, &QPushButton::clicked, this, &QDialog::accept);
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this);  // Enter only moves on here
    ContChange(QString());
}

void TAddCont::ContChange(const QString& text) {
    entry_.setText(text.toStdString());
    Banca->setText(QString::fromStdString(entry_.bankLine()));
    MemoBut->setEnabled(entry_.canSave());
}

bool TAddCont::Edit(const QString& iban) {
    Cont->setText(iban);
    ContChange(Cont->text());
    Cont->setFocus();
    return exec() == QDialog::Accepted;
}

}  // namespace tvx::ui

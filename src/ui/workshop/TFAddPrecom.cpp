// The pre-order editor (ui/workshop): its controls in their groups, the copy between the
// widgets and core::PreOrderEntry, and "&Memoreaza".
#include "ui/workshop/TFAddPrecom.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

namespace {

constexpr int kTextLength = 32;

QComboBox* FixedList(QWidget* parent, const char* name, const QString& label,
                     const std::vector<std::string>& items) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    for (const std::string& item : items) box->addItem(Text(item));
    return box;
}

// An editable list of stored values, as typed (not forced to upper case).
QComboBox* StoredValues(QWidget* parent, const char* name, const QString& label, int length) {
    QComboBox* box = ChoiceBox(parent, name, label, length);
    box->lineEdit()->setValidator(nullptr);
    return box;
}

QTimeEdit* TimeBox(QWidget* parent, const char* name, const QString& label) {
    auto* box = new QTimeEdit(parent);
    NameControl(box, name, label);
    box->setDisplayFormat("HH:mm");
    return box;
}

QPlainTextEdit* MemoBox(QWidget* parent, const char* name, const QString& label) {
    auto* box = new QPlainTextEdit(parent);
    NameControl(box, name, label);
    box->setTabChangesFocus(true);
    return box;
}

void FillStored(QComboBox* box, const std::vector<std::string>& items, const std::string& text) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(box->findText(Text(text), Qt::MatchExactly));
    box->setEditText(Text(text));
}

// `SelectListItem`: the item with the text, nothing when absent.
void Select(QComboBox* box, const std::string& text) {
    box->setCurrentIndex(box->findText(Text(text), Qt::MatchExactly));
}

QTime ToQTime(int minutes) {
    return QTime(minutes / 60, minutes % 60);
}

int FromQTime(const QTime& time) {
    return time.hour() * 60 + time.minute();
}

QGroupBox* Group(const char* title, QLayout* layout, QWidget* parent) {
    auto* group = new QGroupBox(title, parent);
    group->setLayout(layout);
    return group;
}

QWidget* Pair(QWidget* date, QWidget* time, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(date);
    layout->addWidget(new QLabel("ora", row));
    layout->addWidget(time);
    layout->addStretch();
    return row;
}

}  // namespace

TFAddPrecom::TFAddPrecom(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFAddPrecom", core::PreOrderEntry::kNewCaption);
    setWindowTitle(core::PreOrderEntry::kNewCaption);
    BuildControls();
    BuildLayout();
    connect(Memoreaza, &QPushButton::clicked, this, [this] { MemoreazaClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter moves on (a new line in the two text boxes); Esc closes without saving.
    EnterEscFilter::install(this);
}

void TFAddPrecom::BuildControls() {
    using namespace core;
    NrCom = NumberBox(this, kPreNrCom, "Comanda Nr.", 10, 0, false);
    DataCom = DateBox(this, kPreDataCom, "din data");
    Clientul = TextBox(this, kPreClient, "Numele", kTextLength, true);
    Adresa = TextBox(this, kPreAdresa, "Adresa", 120, false);
    Telefon = TextBox(this, kPreTelefon, "Telefon / Fax", kTextLength, true);
    CF = TextBox(this, kPreCF, "Cod Fiscal / CNP", 13, true);
    RC = TextBox(this, kPreRC, "Registru Comertului", 18, true);
    IBAN = TextBox(this, kPreIBAN, "Cont IBAN", 24, true);
    Banca = TextBox(this, kPreBanca, "Banca", 36, true);
    Inmatriculat = TextBox(this, kPrePlate, "Nr.inmatriculare", 12, true);
    Sasiu = TextBox(this, kPreSasiu, "Nr.sasiu", kTextLength, true);
    Model = StoredValues(this, kPreModel, "Model", kTextLength);
    Km = NumberBox(this, kPreKm, "Nr. Km/mile la bord", 6, 0, false);
    Motor = TextBox(this, kPreMotor, "Tip/Serie motor", kTextLength, true);
    Asigurator = TextBox(this, kPreAsigurator, "Asigurator", kTextLength, true);
    Filiala = TextBox(this, kPreFiliala, "Filiala Asigurator", 24, true);
    ReceptOm = StoredValues(this, kPreReceptOm, "Receptionat de", 24);
    Receptie = DateBox(this, kPreReceptie, "la data");
    ReceptieOra = TimeBox(this, kPreReceptieOra, "ora receptiei");
    Garantie = DateBox(this, kPreGarantie, "Data inceperii garantiei");
    Revizie = TextBox(this, kPreRevizie, "Data/Km. ultima revizie", 12, true);
    Termen = DateBox(this, kPreTermen, "Termen estimativ");
    TermenOra = TimeBox(this, kPreTermenOra, "ora termenului");
    Nivel = FixedList(this, kPreNivel, "Nivel combustibil", FuelLevels());
    for (int n = 0; n < kPreChecks; ++n) {
        const std::string v = "V" + std::to_string(n + 1);
        const std::string obs = "Obs" + std::to_string(n + 1);
        V[n] = FixedList(this, v.c_str(), CheckedParts()[n], CheckAnswers());
        Obs[n] = TextBox(this, obs.c_str(), QString("Observatii ") + CheckedParts()[n], 50, false);
    }
    ObsG = MemoBox(this, kPreObsG, "Alte Observatii:");
    Linii = MemoBox(this, kPreLinii, "Descriere cerinte, defecte/disfunctionalitati");
    Memoreaza = MakeButton("Memoreaza", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
}

void TFAddPrecom::BuildLayout() {
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel("Comanda Nr.", this));
    head->addWidget(NrCom);
    NrCom->setMaximumWidth(NrCom->fontMetrics().horizontalAdvance("0000000000") + 16);
    head->addWidget(new QLabel("din data", this));
    head->addWidget(DataCom);
    head->addStretch();

    auto* client = new QFormLayout;
    client->addRow("Numele", Clientul);
    client->addRow("Adresa", Adresa);
    client->addRow("Telefon / Fax", Telefon);
    client->addRow("Cod Fiscal / CNP", CF);
    client->addRow("Registru Comertului", RC);
    client->addRow("Cont IBAN", IBAN);
    client->addRow("Banca", Banca);

    auto* car = new QFormLayout;
    car->addRow("Nr.inmatriculare", Inmatriculat);
    car->addRow("Nr.sasiu", Sasiu);
    car->addRow("Model", Model);
    car->addRow("Nr. Km/mile la bord", Km);
    car->addRow("Tip/Serie motor", Motor);
    car->addRow("Asigurator", Asigurator);
    car->addRow("Filiala Asigurator", Filiala);

    auto* reception = new QFormLayout;
    reception->addRow("Receptionat de", ReceptOm);
    reception->addRow("la data", Pair(Receptie, ReceptieOra, this));
    reception->addRow("Data inceperii garantiei", Garantie);
    reception->addRow("Data/Km. ultima revizie", Revizie);
    reception->addRow("Termen estimativ", Pair(Termen, TermenOra, this));
    reception->addRow("Nivel combustibil", Nivel);

    auto* checks = new QGridLayout;
    for (int n = 0; n < core::kPreChecks; ++n) {
        checks->addWidget(new QLabel(core::CheckedParts()[n], this), n, 0);
        checks->addWidget(V[n], n, 1);
        checks->addWidget(new QLabel("Observatii", this), n, 2);
        checks->addWidget(Obs[n], n, 3);
        Obs[n]->setMinimumWidth(Obs[n]->fontMetrics().horizontalAdvance("W") * 14);
    }
    checks->setColumnStretch(3, 1);
    checks->addWidget(new QLabel("Alte Observatii:", this), core::kPreChecks, 0, 1, 4);
    checks->addWidget(ObsG, core::kPreChecks + 1, 0, 1, 4);
    ObsG->setMaximumHeight(ObsG->fontMetrics().height() * 4);

    auto* description = new QVBoxLayout;
    description->addWidget(Linii);

    auto* columns = new QGridLayout;
    columns->addWidget(Group(" Client ", client, this), 0, 0);
    columns->addWidget(Group(" Autovehicul ", car, this), 0, 1);
    columns->addWidget(Group(" RECEPTIE ", reception, this), 1, 0);
    columns->addWidget(Group("Piese verificate", checks, this), 1, 1);
    columns->addWidget(
        Group(" Descriere cerinte, defecte/disfunctionalitati reclamate de catre client ",
              description, this),
        2, 0, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(columns);
    layout->addLayout(ButtonRow(Memoreaza, Renunt));
}

bool TFAddPrecom::Edit(core::PreOrderEntry& entry, const char* caption) {
    entry_ = &entry;
    setWindowTitle(caption);
    ShowFields();
    NrCom->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    entry_ = nullptr;
    return saved;
}

void TFAddPrecom::ShowFields() {
    const core::PreOrderEntry& e = *entry_;
    NrCom->setText(Text(e.nrCom));
    Put(DataCom, e.dataCom);
    Clientul->setText(Text(e.client));
    Adresa->setText(Text(e.adresa));
    Telefon->setText(Text(e.telefon));
    CF->setText(Text(e.cf));
    RC->setText(Text(e.rc));
    IBAN->setText(Text(e.iban));
    Banca->setText(Text(e.banca));
    Inmatriculat->setText(Text(e.plate));
    Sasiu->setText(Text(e.sasiu));
    FillStored(Model, e.models, e.model);
    Km->setText(Text(e.km));
    Motor->setText(Text(e.motor));
    Asigurator->setText(Text(e.asigurator));
    Filiala->setText(Text(e.filiala));
    FillStored(ReceptOm, e.receivers, e.receptOm);
    Put(Receptie, e.receptie);
    ReceptieOra->setTime(ToQTime(e.receptieMinutes));
    Put(Garantie, e.garantie);
    Revizie->setText(Text(e.revizie));
    Put(Termen, e.termen);
    TermenOra->setTime(ToQTime(e.termenMinutes));
    Select(Nivel, e.nivel);
    for (int n = 0; n < core::kPreChecks; ++n) {
        Select(V[n], e.v[n]);
        Obs[n]->setText(Text(e.obs[n]));
    }
    ObsG->setPlainText(Text(e.obsG));
    Linii->setPlainText(Text(e.description));
}

void TFAddPrecom::ReadFields() {
    core::PreOrderEntry& e = *entry_;
    e.nrCom = Std(NrCom);
    e.dataCom = FromQDate(DataCom->date());
    e.client = Std(Clientul);
    e.adresa = Std(Adresa);
    e.telefon = Std(Telefon);
    e.cf = Std(CF);
    e.rc = Std(RC);
    e.iban = Std(IBAN);
    e.banca = Std(Banca);
    e.plate = Std(Inmatriculat);
    e.sasiu = Std(Sasiu);
    e.model = Std(Model->currentText());
    e.km = Std(Km);
    e.motor = Std(Motor);
    e.asigurator = Std(Asigurator);
    e.filiala = Std(Filiala);
    e.receptOm = Std(ReceptOm->currentText());
    e.receptie = FromQDate(Receptie->date());
    e.receptieMinutes = FromQTime(ReceptieOra->time());
    e.garantie = FromQDate(Garantie->date());
    e.revizie = Std(Revizie);
    e.termen = FromQDate(Termen->date());
    e.termenMinutes = FromQTime(TermenOra->time());
    e.nivel = Std(Nivel->currentText());
    for (int n = 0; n < core::kPreChecks; ++n) {
        e.v[n] = Std(V[n]->currentText());
        e.obs[n] = Std(Obs[n]);
    }
    e.obsG = Std(ObsG->toPlainText());
    e.description = Std(Linii->toPlainText());
}

void TFAddPrecom::MemoreazaClick() {
    if (!entry_) return;
    ReadFields();
    if (const auto problem = entry_->check()) {
        ShowFields();  // the cleaned values, as they would be stored
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui

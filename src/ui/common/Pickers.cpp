// The period and month pickers (ui/common).
#include "ui/common/Pickers.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

TAlegeDataF::TAlegeDataF(QWidget* parent) : QDialog(parent), choice_(core::Today()) {
    NameControl(this, "TAlegeDataF", "Alegere perioada");
    setWindowTitle("Alegere perioada");
    Titlu = TitleLine(this);
    DeLa = new QDateEdit(this);
    NameControl(DeLa, "DeLa", "Incepand cu data");
    PanaLa = new QDateEdit(this);
    NameControl(PanaLa, "PanaLa", "terminand cu data");
    for (QDateEdit* e : {DeLa, PanaLa}) {
        e->setDisplayFormat("dd.MM.yyyy");
        e->setCalendarPopup(true);
    }
    GesAles = new QComboBox(this);
    NameControl(GesAles, "GesAles", "Gestiunea");
    Reprez = new QComboBox(this);
    NameControl(Reprez, "Reprez", "Reprezentant");
    AmAles = new QPushButton("&Am ales", this);
    NameControl(AmAles, "AmAles", "Am ales");
    Renunt = new QPushButton("Renunt", this);
    NameControl(Renunt, "Renunt");
    AmAles->setAutoDefault(false);
    Renunt->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow("Incepand cu data", DeLa);
    form->addRow("terminand cu data", PanaLa);
    GesLabel = new QLabel("Gestiunea", this);
    form->addRow(GesLabel, GesAles);
    ReprezLabel = new QLabel("Reprezentant", this);
    form->addRow(ReprezLabel, Reprez);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner("Alegeti perioada", this));
    layout->addWidget(Titlu);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(AmAles, Renunt));
    setRepresentativeVisible(false);

    connect(AmAles, &QPushButton::clicked, this, [this] { AmAlesClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, AmAles);
}

void TAlegeDataF::setTitle(const QString& title) {
    Titlu->setText(title);
}

void TAlegeDataF::setLocationVisible(bool visible) {
    GesLabel->setVisible(visible);
    GesAles->setVisible(visible);
}

void TAlegeDataF::setRepresentativeVisible(bool visible) {
    ReprezLabel->setVisible(visible);
    Reprez->setVisible(visible);
}

void TAlegeDataF::propose(tables::Date from, tables::Date to) {
    choice_.from = from;
    choice_.to = to;
}

bool TAlegeDataF::Alege(const std::vector<std::string>& locationLines) {
    choice_.resetLocations(locationLines);
    GesAles->clear();
    for (const auto& item : choice_.locations) GesAles->addItem(QString::fromStdString(item));
    GesAles->setCurrentIndex(0);
    DeLa->setDate(ToQDate(choice_.from));
    PanaLa->setDate(ToQDate(choice_.to));
    DeLa->setFocus();
    return exec() == QDialog::Accepted;
}

void TAlegeDataF::readWidgets() {
    choice_.from = FromQDate(DeLa->date());
    choice_.to = FromQDate(PanaLa->date());
    choice_.location = GesAles->currentIndex();
    choice_.representative = Reprez->currentText().toStdString();
}

void TAlegeDataF::AmAlesClick() {
    readWidgets();
    if (auto problem = choice_.confirm()) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

TAlegeLunaF::TAlegeLunaF(QWidget* parent) : QDialog(parent), choice_(core::Today()) {
    NameControl(this, "TAlegeLunaF", "Alegere perioada");
    setWindowTitle("Alegere perioada");
    Titlu = TitleLine(this);
    ComboBox1 = new QComboBox(this);
    NameControl(ComboBox1, "ComboBox1", "Luna");
    for (const auto& name : core::MonthChoice::monthNames())
        ComboBox1->addItem(QString::fromStdString(name));
    Anul = new QSpinBox(this);
    NameControl(Anul, "Anul", "Anul");
    Anul->setRange(core::MonthChoice::kFirstYear, core::MonthChoice::kLastYear);
    AmAles = new QPushButton("&Am ales", this);
    NameControl(AmAles, "AmAles", "Am ales");
    Renunt = new QPushButton("Renunt", this);
    NameControl(Renunt, "Renunt");
    AmAles->setAutoDefault(false);
    Renunt->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow("Luna", ComboBox1);
    form->addRow("Anul", Anul);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner("Alegeti luna", this));
    layout->addWidget(Titlu);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(AmAles, Renunt));

    connect(AmAles, &QPushButton::clicked, this, [this] { AmAlesClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, AmAles, Anul);
}

void TAlegeLunaF::setTitle(const QString& title) {
    Titlu->setText(title);
}

bool TAlegeLunaF::Alege() {
    ComboBox1->setCurrentIndex(choice_.month - 1);
    Anul->setValue(choice_.year);
    ComboBox1->setFocus();
    return exec() == QDialog::Accepted;
}

void TAlegeLunaF::AmAlesClick() {
    choice_.month = ComboBox1->currentIndex() + 1;
    choice_.year = Anul->value();
    accept();
}

}  // namespace tvx::ui

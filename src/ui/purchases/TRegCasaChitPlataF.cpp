// The manual cash entry dialog (ui/purchases): controls, layout and the save through the core
// check; a refused field keeps everything typed.
#include "ui/purchases/TRegCasaChitPlataF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using Entry = core::CashEntry;

TRegCasaChitPlataF::TRegCasaChitPlataF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TRegCasaChitPlataF", "Operatiune de casa");
    setWindowTitle("Adaugare plata");
    Titlu = TitleLine(this, "banner");
    DocJustif = ChoiceBox(this, Entry::kDocumentField, "Document justif.", Entry::kDocumentWidth);
    Seria = TextBox(this, Entry::kSeriesField, "Seria", Entry::kSeriesWidth, true);
    Numarul = NumberBox(this, Entry::kNumberField, "Numarul", Entry::kNumberDigits, 0, false);
    DinData = DateBox(this, Entry::kDateField, "din data");
    SumaDe =
        NumberBox(this, Entry::kSumField, "Suma de", Entry::kSumDigits, Entry::kSumDecimals, false);
    Reprezentand = TextBox(this, Entry::kTextField, "Reprezentand", Entry::kTextWidth, false);
    Adauga = MakeButton("Adauga", "Adauga", this);
    Renunt = MakeButton("Renunt", "Renunt", this);

    auto* numbers = new QHBoxLayout;
    numbers->addWidget(Seria);
    numbers->addWidget(new QLabel("Numarul", this));
    numbers->addWidget(Numarul);
    auto* sum = new QHBoxLayout;
    sum->addWidget(SumaDe);
    sum->addWidget(new QLabel("lei.", this));
    sum->addStretch();
    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->addRow("Document justif.", DocJustif);
    fields->addRow("Seria", numbers);
    fields->addRow("din data", DinData);
    fields->addRow("Suma de", sum);
    fields->addRow("Reprezentand", Reprezentand);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(fields);
    layout->addLayout(ButtonRow(Adauga, Renunt));
    Seria->setMaximumWidth(Seria->fontMetrics().horizontalAdvance("WWWWWWW") + 12);
    SumaDe->setMaximumWidth(SumaDe->fontMetrics().horizontalAdvance("00000.000") + 16);
    Reprezentand->setMinimumWidth(Reprezentand->fontMetrics().averageCharWidth() * 60);

    connect(Adauga, &QPushButton::clicked, this, [this] { AdaugaClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Reprezentand" adds.
    EnterEscFilter::install(this, Adauga, Reprezentand);
}

bool TRegCasaChitPlataF::AddEntry() {
    setWindowTitle(entry_.title());
    Titlu->setText(entry_.title());
    {
        const QSignalBlocker quiet(DocJustif);
        DocJustif->clear();
        for (const std::string& document : entry_.documents) DocJustif->addItem(Text(document));
    }
    ShowFields();
    DocJustif->setFocus();
    return exec() == QDialog::Accepted;
}

void TRegCasaChitPlataF::ShowFields() {
    Put(DocJustif, entry_.document);
    Put(Seria, entry_.series);
    Put(Numarul, entry_.number);
    Put(DinData, entry_.date);
    Put(SumaDe, entry_.sum);
    Put(Reprezentand, entry_.text);
}

void TRegCasaChitPlataF::ReadFields() {
    entry_.document = Std(DocJustif->currentText());
    entry_.series = Std(Seria);
    entry_.number = Std(Numarul);
    entry_.date = FromQDate(DinData->date());
    entry_.sum = Std(SumaDe);
    entry_.text = Std(Reprezentand);
}

void TRegCasaChitPlataF::AdaugaClick() {
    ReadFields();
    const auto problem = entry_.check();
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    ShowFields();  // the texts come back cleaned
    accept();
}

}  // namespace tvx::ui

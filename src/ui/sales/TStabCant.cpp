// The quantity dialog (ui/sales): two number boxes, "&Memoreaza" and "&Renunt".
#include "ui/sales/TStabCant.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

TStabCant::TStabCant(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TStabCant", "Stabileste cantitatea");
    setWindowTitle("Stabileste cantitatea");
    CantEd = NumberBox(this, "CantEd", "Cantitatea", 6, 2, false);
    TimpEd = NumberBox(this, "TimpEd", "Timp (ore)", 6, 2, false);
    for (QLineEdit* box : {CantEd, TimpEd}) box->setMaxLength(8);
    BitBtn1 = MakeButton("BitBtn1", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow("Cantitatea", CantEd);
    form->addRow("Timp (ore)", TimpEd);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(BitBtn1, Renunt));

    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    // Enter on "Timp (ore)" presses "&Memoreaza".
    EnterEscFilter::install(this, BitBtn1, TimpEd);
}

void TStabCant::BitBtn1Click() {
    if (check_) {
        if (const auto problem = check_(Number(CantEd->text()), Number(TimpEd->text()))) {
            ShowProblem(*problem, this);
            return;
        }
    }
    accept();
}

bool TStabCant::askQuantity(tables::Decimal& quantity, tables::Decimal& hours, Check check) {
    check_ = std::move(check);
    CantEd->setText(Text(quantity.toPlainString()));
    TimpEd->setText(Text(hours.toPlainString()));
    CantEd->setFocus();
    CantEd->selectAll();
    if (exec() != QDialog::Accepted) return false;
    quantity = Number(CantEd->text());
    hours = Number(TimpEd->text());
    return true;
}

}  // namespace tvx::ui

// The stock exit and transfer dialog (ui/stock): controls, layout and the binding to
// core::ExitForm. A name chosen from the list brings its counter's number, every change of
// the quantity shows the value leaving, and "Memoreaza" runs the form's checks and shows the
// first failure at its field.
#include "ui/stock/TOutProdusF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using core::ExitForm;

namespace {

constexpr const char* kDarkBlue = "color: #00008b;";
constexpr const char* kRed = "color: #ff0000;";

QLabel* ValueText(QWidget* parent, const char* name, const char* label) {
    auto* text = new QLabel(parent);
    NameControl(text, name, label);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance("0000000000.0000") + 8);
    return text;
}

void FillChoice(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(-1);
    if (box->isEditable()) box->setEditText({});
}

}  // namespace

TOutProdusF::TOutProdusF(core::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    NameControl(this, "TOutProdusF", "Iesire produs");
    BuildControls();
    BuildLayout();
    connect(DocJusBox, &QComboBox::activated, this, [this] {
        ReadFields();
        form_.documentChosen(session_.settings());
        ShowFields();
    });
    connect(CantEdit, &QLineEdit::textChanged, this, [this] {
        form_.quantity = Std(CantEdit);
        form_.quantityChanged();
        ShowValue();
    });
    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    keys_ = EnterEscFilter::install(this, MemoBut, CantEdit);
}

void TOutProdusF::BuildControls() {
    Titlu = TitleLine(this);
    GesText = ValueText(this, "GesText", "Gestiunea");
    ProdText = ValueText(this, "ProdText", "Produsul");
    UmText = ValueText(this, "UmText", "Unitatea de masura");
    PretText = ValueText(this, "PretText", "Pret unitar");
    StocText = ValueText(this, "StocText", "Stoc cantitativ");
    ValStocText = ValueText(this, "ValStocText", "Stoc valoric");
    // Created in the order Enter moves through them.
    DocJusBox = ChoiceBox(this, ExitForm::kDocumentField, "Document justificativ",
                          static_cast<int>(ExitForm::kNameLength));
    NrDocEdit = NumberBox(this, ExitForm::kNumberField, "Nr.", ExitForm::NumberDigits(), 0, false);
    DataEdit = DateBox(this, ExitForm::kDateField, "din data");
    CantEdit = NumberBox(this, ExitForm::kQuantityField, "Cantitate iesita",
                         ExitForm::QuantityDigits(), ExitForm::QuantityDecimals(), false);
    ValText = ValueText(this, "ValText", "Valoarea iesita");
    ValText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    BeneficiarLabel = new QLabel("Beneficiar", this);
    // Only a location of the list can receive goods: the box takes no typed text.
    BeneficiarBox = new QComboBox(this);
    NameControl(BeneficiarBox, ExitForm::kDestinationField, "Beneficiar");
    MemoBut = MakeButton("MemoBut", "Memoreaza", this);
    Renunt = MakeButton("Renunt", "Renunt", this);
}

void TOutProdusF::BuildLayout() {
    auto form = [] {
        auto* f = new QFormLayout;
        f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        return f;
    };
    auto* card = form();
    card->addRow("Gestiunea", GesText);
    card->addRow("Produsul", ProdText);
    card->addRow("Unitatea de masura", UmText);
    card->addRow("Pret unitar", PretText);
    card->addRow("Stoc cantitativ", StocText);
    card->addRow("Stoc valoric", ValStocText);
    auto* cardBox = new QGroupBox("Produs");
    cardBox->setLayout(card);

    auto* exit = form();
    exit->addRow("Document justificativ", DocJusBox);
    auto* number = new QHBoxLayout;
    number->addWidget(NrDocEdit);
    number->addWidget(new QLabel("din data"));
    number->addWidget(DataEdit);
    exit->addRow("Nr.", number);
    exit->addRow("Cantitate iesita", CantEdit);
    exit->addRow("Valoarea iesita", ValText);
    exit->addRow(BeneficiarLabel, BeneficiarBox);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addWidget(cardBox);
    layout->addLayout(exit);
    layout->addLayout(ButtonRow(MemoBut, Renunt));
    DocJusBox->setMinimumContentsLength(24);
    resize(520, 440);
}

bool TOutProdusF::AskExit(const core::ExitCard& card) {
    return Ask(card, false);
}

bool TOutProdusF::AskTransfer(const core::ExitCard& card) {
    return Ask(card, true);
}

bool TOutProdusF::Ask(const core::ExitCard& card, bool transfer) {
    if (!Guarded([&] {
            form_.reset(session_.db(), card, transfer, session_.locations.names(), core::Today());
        }))
        return false;
    const QString title = Text(form_.title());
    setWindowTitle(title);
    Titlu->setText(title);
    BeneficiarLabel->setVisible(transfer);
    BeneficiarBox->setVisible(transfer);
    keys_->setLastField(transfer ? static_cast<QWidget*>(BeneficiarBox) : CantEdit);
    GesText->setText(Text(card.location));
    ProdText->setText(Text(card.product));
    UmText->setText(Text(card.unit));
    PretText->setText(Text(card.salePrice.rescaled(2).toString()));
    StocText->setText(Text(card.stock.rescaled(2).toString()));
    ValStocText->setText(Text(card.stockValue.rescaled(4).toString()));
    FillChoice(DocJusBox, form_.documentList);
    FillChoice(BeneficiarBox, form_.destinationList);
    ShowFields();
    DocJusBox->setFocus();
    return exec() == QDialog::Accepted;
}

void TOutProdusF::ReadFields() {
    form_.docJus = Std(DocJusBox->currentText());
    form_.number = Std(NrDocEdit);
    form_.date = FromQDate(DataEdit->date());
    form_.quantity = Std(CantEdit);
    form_.destination = Std(BeneficiarBox->currentText());
}

void TOutProdusF::ShowFields() {
    Put(DocJusBox, form_.docJus);
    Put(NrDocEdit, form_.number);
    Put(DataEdit, form_.date);
    Put(CantEdit, form_.quantity);
    {
        const QSignalBlocker quiet(BeneficiarBox);
        BeneficiarBox->setCurrentIndex(BeneficiarBox->findText(Text(form_.destination)));
    }
    ShowValue();
}

void TOutProdusF::ShowValue() {
    ValText->setText(Text(form_.value.toString()));
    ValText->setStyleSheet(form_.overStock ? kRed : kDarkBlue);
}

void TOutProdusF::MemoButClick() {
    ReadFields();
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = form_.save(); })) return;
    Put(DocJusBox, form_.docJus);  // as cleaned
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui

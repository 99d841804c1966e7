// The line dialog of a goods received note (ui/stock): controls, layout and the binding to
// core::NirLineForm. Each reaction reads every control into the form, runs the form's
// reaction and writes every field back with the controls' signals blocked, so one change never
// sets off another; "&Memoreaza" runs the form's checks and shows the first failure.
#include "ui/stock/TNIRProdF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QVBoxLayout>
#include <memory>
#include <vector>

#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

using tables::Decimal;

namespace {

constexpr int kRemarksLength = 240;

QComboBox* ChoiceBox(QWidget* parent, const char* name, const char* label, int length) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    if (length > 0) {
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        ConfigureTextBox(box->lineEdit(), length, true);
    }
    return box;
}

QLineEdit* NumberBox(QWidget* parent, const char* name, const char* label, int digits, int decimals,
                     bool allowNegative) {
    auto* box = new QLineEdit(parent);
    NameControl(box, name, label);
    ConfigureNumberBox(box, digits, decimals, allowNegative);
    return box;
}

// A number box shows the form's value; the box being typed in keeps its text while that text
// still reads as the value.
void ShowNumber(QLineEdit* box, const Decimal& value, const QWidget* editing) {
    if (box == editing && Number(box->text()) == value) return;
    const QString text = Text(value.toString());
    if (box->text() != text) box->setText(text);
}

void ShowText(QComboBox* box, const std::string& value) {
    const QString text = Text(value);
    if (box->isEditable()) {
        if (box->currentText() == text) return;
        const int index = box->findText(text);
        box->setCurrentIndex(index);
        if (index < 0 || box->currentText() != text) box->setEditText(text);
    } else {
        box->setCurrentIndex(box->findText(text));
    }
}

void FillChoice(QComboBox* box, const std::vector<std::string>& items) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
}

}  // namespace

TNIRProdF::TNIRProdF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TNIRProdF", "Produs receptionat");
    BuildControls();
    BuildLayout();
    ConnectReactions();
    EnterEscFilter::install(this);
    CodBareEdit->installEventFilter(this);  // after the shared filter, so it sees Enter first
}

void TNIRProdF::BuildControls() {
    Titlu = TitleLine(this);

    // Created in the order Enter moves through them.
    ProdBox = ChoiceBox(this, core::NirLineForm::kProductField, "PRODUSUL", 240);
    CategBox = ChoiceBox(this, "CategBox", "Categoria", 0);
    for (const std::string& category : core::NirLineForm::Categories())
        CategBox->addItem(Text(category));
    UmBox = ChoiceBox(this, core::NirLineForm::kUnitField, "U.M.", 4);
    CantFEdit =
        NumberBox(this, core::NirLineForm::kInvoicedField, "Cantitatea dupa factura", 6, 2, true);
    CantREdit =
        NumberBox(this, core::NirLineForm::kReceivedField, "Cantitatea la receptie", 6, 2, true);
    PretEdit =
        NumberBox(this, core::NirLineForm::kPriceField, "Pret furnizor fara TVA", 6, 2, false);
    MonedaBox = ChoiceBox(this, "MonedaBox", "Moneda", 0);
    for (const std::string& currency : core::NirLineForm::Currencies())
        MonedaBox->addItem(Text(currency));
    PretTVAText = new QLabel(this);
    NameControl(PretTVAText, "PretTVAText", "Pret furnizor cu TVA");
    PretTVAText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PretTVAText->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ValFEdit = NumberBox(this, core::NirLineForm::kValueField, "Valoare furnizor", 6, 2, false);
    TvaFEdit = NumberBox(this, "TvaFEdit", "TVA furnizor", 6, 2, false);
    TotFEdit =
        NumberBox(this, core::NirLineForm::kTotalField, "Total valoare facturata", 6, 2, false);
    // Computed values carry four decimals: the boxes must hold them whole.
    for (QLineEdit* box : {ValFEdit, TvaFEdit, TotFEdit}) box->setMaxLength(16);
    AdaosEdit = NumberBox(this, "AdaosEdit", "Adaos practicat", 3, 2, true);
    PretVLabel = new QLabel(this);
    NameControl(PretVLabel, "PretVLabel", "Pret de vanzare");
    PretVEdit = NumberBox(this, core::NirLineForm::kSaleField, "Pret cu adaos si TVA", 7, 2, true);
    PretVEdit->setMaxLength(16);
    GesBox = ChoiceBox(this, core::NirLineForm::kLocationField, "Gestiunea", 24);
    GarantieEdit = new QDateEdit(this);
    NameControl(GarantieEdit, "GarantieEdit", "Garantie pana la");
    GarantieEdit->setDisplayFormat("dd.MM.yyyy");
    GarantieEdit->setCalendarPopup(true);
    CodBareEdit = new QLineEdit(this);
    NameControl(CodBareEdit, "CodBareEdit", "Cod bare");
    ConfigureTextBox(CodBareEdit, 40, false);
    ObsEdit = new QPlainTextEdit(this);
    NameControl(ObsEdit, "ObsEdit", "OBSERVATII");
    ObsEdit->setTabChangesFocus(true);
    EuroEdit = NumberBox(this, core::NirLineForm::kEuroField, "1 euro =", 1, 4, false);
    DolarEdit = NumberBox(this, "DolarEdit", "1 dolar =", 1, 4, false);
    MemoBut = MakeButton("MemoBut", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
}

void TNIRProdF::BuildLayout() {
    auto form = [] {
        auto* f = new QFormLayout;
        f->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        return f;
    };
    auto row = [](std::initializer_list<QWidget*> widgets) {
        auto* r = new QHBoxLayout;
        for (QWidget* w : widgets) r->addWidget(w);
        return r;
    };
    auto* product = form();
    product->addRow("PRODUSUL", ProdBox);
    product->addRow("Categoria", row({CategBox, new QLabel("U.M."), UmBox}));

    // Quantities and supplier prices on the left, mark-up and sale on the right.
    auto* supplier = form();
    supplier->addRow("Cantitatea dupa factura", CantFEdit);
    supplier->addRow("la receptie", CantREdit);
    supplier->addRow("Pret furnizor fara TVA", row({PretEdit, MonedaBox}));
    supplier->addRow("Pret furnizor cu TVA", PretTVAText);
    supplier->addRow("Valoare furnizor", ValFEdit);
    supplier->addRow("TVA furnizor", TvaFEdit);
    supplier->addRow("Total valoare facturata", TotFEdit);
    auto* supplierBox = new QGroupBox("Furnizor");
    supplierBox->setLayout(supplier);

    auto* sale = form();
    sale->addRow("Adaos practicat", AdaosEdit);
    sale->addRow(PretVLabel, PretVEdit);
    sale->addRow("Gestiunea", GesBox);
    sale->addRow("Garantie pana la", GarantieEdit);
    sale->addRow("Cod bare", CodBareEdit);
    auto* saleBox = new QGroupBox("Vanzare");
    saleBox->setLayout(sale);

    auto* prices = new QHBoxLayout;
    prices->addWidget(supplierBox, 1);
    prices->addWidget(saleBox, 1);

    auto* rates = new QHBoxLayout;
    rates->addWidget(new QLabel("Curs valutar:  1 euro ="));
    rates->addWidget(EuroEdit);
    rates->addWidget(new QLabel("lei     1 dolar ="));
    rates->addWidget(DolarEdit);
    rates->addWidget(new QLabel("lei"));
    rates->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(product);
    layout->addLayout(prices);
    layout->addWidget(new QLabel("OBSERVATII"));
    layout->addWidget(ObsEdit);
    layout->addLayout(rates);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    for (QComboBox* box : {ProdBox, GesBox})
        box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    PretTVAText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ObsEdit->setFixedHeight(ObsEdit->fontMetrics().lineSpacing() * 4 + 12);
    CategBox->setMinimumContentsLength(18);
    UmBox->setMinimumContentsLength(5);
    for (QLineEdit* box : {EuroEdit, DolarEdit})
        box->setMaximumWidth(box->fontMetrics().horizontalAdvance("0.00000") + 16);
    resize(760, 520);
}

void TNIRProdF::ConnectReactions() {
    connect(CantFEdit, &QLineEdit::textChanged, this, [this] {
        // Q takes QF's value, and a new Q recomputes the line.
        React(CantFEdit, [this] {
            form_.invoicedChanged();
            form_.recalcLine();
        });
    });
    connect(CantREdit, &QLineEdit::textChanged, this,
            [this] { React(CantREdit, [this] { form_.recalcLine(); }); });
    connect(PretEdit, &QLineEdit::textChanged, this,
            [this] { React(PretEdit, [this] { form_.recalcLine(); }); });
    connect(AdaosEdit, &QLineEdit::textChanged, this,
            [this] { React(AdaosEdit, [this] { form_.markupChanged(); }); });
    connect(PretVEdit, &QLineEdit::textChanged, this,
            [this] { React(PretVEdit, [this] { form_.saleChanged(); }); });
    connect(CategBox, &QComboBox::currentIndexChanged, this,
            [this] { React(CategBox, [this] { form_.categoryChanged(); }); });
    connect(ProdBox, &QComboBox::editTextChanged, this, [this] {
        if (form_.adding) React(ProdBox, [this] { form_.productChanged(session_.db()); });
    });
    // Plain typing over the computed values (no reaction): the form reads them at the next one.
    connect(ObsEdit, &QPlainTextEdit::textChanged, this, [this] {
        const QString text = ObsEdit->toPlainText();
        if (text.size() <= kRemarksLength) return;
        const QSignalBlocker quiet(ObsEdit);
        ObsEdit->setPlainText(text.left(kRemarksLength));
        ObsEdit->moveCursor(QTextCursor::End);
    });
    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
}

bool TNIRProdF::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CodBareEdit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            !CodBareEdit->text().trimmed().isEmpty())
            React(CodBareEdit, [this] { form_.barCodeEntered(session_.db()); });
        // The shared filter then moves on as for any field.
    }
    return QDialog::eventFilter(watched, event);
}

template <typename Reaction>
void TNIRProdF::React(const QWidget* editing, Reaction&& reaction) {
    ReadFields();
    Guarded(reaction);
    ShowFields(editing);
}

void TNIRProdF::ReadFields() {
    form_.product = Std(ProdBox->currentText());
    form_.category = Std(CategBox->currentText());
    form_.unit = Std(UmBox->currentText());
    form_.qf = Number(CantFEdit->text());
    form_.q = Number(CantREdit->text());
    form_.p = Number(PretEdit->text());
    form_.currency = Std(MonedaBox->currentText());
    form_.vf = Number(ValFEdit->text());
    form_.tf = Number(TvaFEdit->text());
    form_.tt = Number(TotFEdit->text());
    form_.a = Number(AdaosEdit->text());
    form_.s = Number(PretVEdit->text());
    form_.location = Std(GesBox->currentText());
    form_.warranty = FromQDate(GarantieEdit->date());
    form_.barCode = Std(CodBareEdit->text());
    form_.remarks.clear();
    const QString remarks = ObsEdit->toPlainText();
    if (!remarks.isEmpty())
        for (const QString& line : remarks.split('\n')) form_.remarks.push_back(Std(line));
    form_.euroRate = Number(EuroEdit->text());
    form_.dollarRate = Number(DolarEdit->text());
}

void TNIRProdF::ShowFields(const QWidget* editing) {
    const QList<QWidget*> controls{ProdBox,   CategBox,  UmBox,    CantFEdit,    CantREdit,
                                   PretEdit,  MonedaBox, ValFEdit, TvaFEdit,     TotFEdit,
                                   AdaosEdit, PretVEdit, GesBox,   GarantieEdit, CodBareEdit,
                                   ObsEdit,   EuroEdit,  DolarEdit};
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QWidget* control : controls) quiet.push_back(std::make_unique<QSignalBlocker>(control));

    if (editing != ProdBox) ShowText(ProdBox, form_.product);
    ShowText(CategBox, form_.category);
    ShowText(UmBox, form_.unit);
    ShowNumber(CantFEdit, form_.qf, editing);
    ShowNumber(CantREdit, form_.q, editing);
    ShowNumber(PretEdit, form_.p, editing);
    ShowText(MonedaBox, form_.currency);
    PretTVAText->setText(Text(form_.pt.toString()));
    ShowNumber(ValFEdit, form_.vf, editing);
    ShowNumber(TvaFEdit, form_.tf, editing);
    ShowNumber(TotFEdit, form_.tt, editing);
    ShowNumber(AdaosEdit, form_.a, editing);
    ShowNumber(PretVEdit, form_.s, editing);
    ShowText(GesBox, form_.location);
    GarantieEdit->setDate(ToQDate(form_.warranty));
    if (CodBareEdit->text() != Text(form_.barCode)) CodBareEdit->setText(Text(form_.barCode));
    QStringList remarks;
    for (const std::string& line : form_.remarks) remarks << Text(line);
    if (ObsEdit->toPlainText() != remarks.join('\n')) ObsEdit->setPlainText(remarks.join('\n'));
    ShowNumber(EuroEdit, form_.euroRate, editing);
    ShowNumber(DolarEdit, form_.dollarRate, editing);
    ShowEnabling();
}

void TNIRProdF::ShowEnabling() {
    AdaosEdit->setEnabled(form_.markupEditable());
    PretVEdit->setEnabled(form_.markupEditable());
    TvaFEdit->setEnabled(form_.vatEditable());
    MonedaBox->setEnabled(form_.currencyEnabled);
    PretVLabel->setText(Text(form_.salePriceCaption()));
}

void TNIRProdF::FillLists() {
    std::vector<std::string> products, units;
    Guarded([&] {
        tables::Database& db = session_.db();
        const std::string lines = core::TableFile(db, "ProdNIR").string();
        products = core::FillDistinct(db, lines, "", "PRODUS");
        units = core::FillDistinct(db, lines, "", "UM");
    });
    FillChoice(ProdBox, products);
    FillChoice(UmBox, units);
    FillChoice(GesBox, form_.locationList);
}

bool TNIRProdF::Edit() {
    const QString title = Text(form_.title());
    setWindowTitle(title);
    Titlu->setText(title);
    FillLists();
    ShowFields();
    ProdBox->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    form_.euroRate = Number(EuroEdit->text());
    form_.dollarRate = Number(DolarEdit->text());
    Guarded([&] { form_.storeRates(session_.settings()); });
    return saved;
}

void TNIRProdF::MemoButClick() {
    ReadFields();
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = form_.save(session_.db(), session_.settings()); })) return;
    ShowFields();  // cleaned names, a discount's signs, a conversion to lei
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    accept();
}

}  // namespace tvx::ui

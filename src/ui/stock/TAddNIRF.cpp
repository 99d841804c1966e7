// The header dialog of a goods received note (ui/stock): controls, layout and the binding to
// core::NirHeaderForm. The documents grid shows the core's documents query under the core's
// filter; "Memoreaza" runs the core's checks and, once they pass, its save.
#include "ui/stock/TAddNIRF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/stock/NirNotes.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

namespace {

QLineEdit* TextBox(QWidget* parent, const char* name, const char* label, int length) {
    auto* box = new QLineEdit(parent);
    NameControl(box, name, label);
    ConfigureTextBox(box, length, false);
    return box;
}

}  // namespace

TAddNIRF::TAddNIRF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TAddNIRF", "Receptie");
    BuildControls();
    BuildLayout();
    connect(FurnizorBox, &QComboBox::editTextChanged, this, [this] { SupplierChanged(); });
    connect(MemoBut, &QPushButton::clicked, this, [this] { MemoButClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, MemoBut, GestEdit);
}

TAddNIRF::~TAddNIRF() {
    documentModel_->setResultSet(nullptr);
}

void TAddNIRF::BuildControls() {
    Titlu = TitleLine(this);

    NrNirEdit = new QLineEdit(this);
    NameControl(NrNirEdit, core::NirHeaderForm::kNumberField, "Nota de receptie nr.");
    ConfigureNumberBox(NrNirEdit, 10, 0);
    DataNirEdit = new QDateEdit(this);
    NameControl(DataNirEdit, "DataNirEdit", "din data");
    DataNirEdit->setDisplayFormat("dd.MM.yyyy");
    DataNirEdit->setCalendarPopup(true);

    DocPanel = new QGroupBox("Document de intrare", this);
    NameControl(DocPanel, "DocPanel", "Document de intrare");
    FurnizorBox = new QComboBox(DocPanel);
    NameControl(FurnizorBox, "FurnizorBox", "Furnizor");
    FurnizorBox->setEditable(true);
    FurnizorBox->setInsertPolicy(QComboBox::NoInsert);
    ConfigureTextBox(FurnizorBox->lineEdit(), 32, true);
    FactGrid = new QTableView(DocPanel);
    NameControl(FactGrid, core::NirHeaderForm::kDocumentsField, "Factura de intrare");
    FactGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FactGrid->verticalHeader()->hide();
    FactGrid->horizontalHeader()->setStretchLastSection(true);
    documentModel_ = new ResultSetModel(this);
    documentModel_->attach(FactGrid);

    DelegatEdit = TextBox(this, "DelegatEdit", "Delegat / CI", 120);
    ReceptEdit = TextBox(this, "ReceptEdit", "Receptioner", 24);
    GestEdit = TextBox(this, "GestEdit", "Gestionar", 24);
    MemoBut = MakeButton("MemoBut", "Memoreaza", this);
    Renunt = MakeButton("Renunt", "Renunt", this);
}

void TAddNIRF::BuildLayout() {
    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel("Nota de receptie. nr."));
    number->addWidget(NrNirEdit);
    number->addSpacing(12);
    number->addWidget(new QLabel("din"));
    number->addWidget(DataNirEdit);
    number->addStretch();

    auto* panel = new QFormLayout(DocPanel);
    panel->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    panel->addRow("Furnizor", FurnizorBox);
    panel->addRow("Factura de intrare", FactGrid);

    auto* names = new QFormLayout;
    names->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    names->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    names->addRow("Delegat / CI", DelegatEdit);
    names->addRow("Receptioner", ReceptEdit);
    names->addRow("Gestionar", GestEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addLayout(number);
    layout->addWidget(DocPanel, 1);
    layout->addLayout(names);
    layout->addLayout(ButtonRow(MemoBut, Renunt));

    NrNirEdit->setMaximumWidth(NrNirEdit->fontMetrics().horizontalAdvance("0000000000") + 16);
    FactGrid->setMinimumHeight(160);
    resize(520, 480);
}

std::optional<long long> TAddNIRF::NewHeader() {
    if (!Guarded([&] { form_.startNew(session_.db(), session_.settings(), core::Today()); }))
        return std::nullopt;
    ReloadDocuments(std::nullopt);
    if (!Run()) return std::nullopt;
    return savedId_;
}

std::optional<long long> TAddNIRF::EditHeader(const core::NirNote& note) {
    if (!Guarded([&] { form_.startEdit(session_.db(), note); })) return std::nullopt;
    ReloadDocuments(note.idFact);
    if (!Run()) return std::nullopt;
    return savedId_;
}

bool TAddNIRF::Run() {
    savedId_ = 0;
    ShowForm();
    NrNirEdit->setFocus();
    NrNirEdit->selectAll();
    const bool saved = exec() == QDialog::Accepted;
    documentModel_->setResultSet(nullptr);
    documents_.reset();
    return saved;
}

void TAddNIRF::ShowForm() {
    const QString title = Text(form_.title());
    setWindowTitle(title);
    Titlu->setText(title);
    NrNirEdit->setText(QString::number(form_.number));
    DataNirEdit->setDate(ToQDate(form_.date));
    {
        const QSignalBlocker quiet(FurnizorBox);
        FurnizorBox->clear();
        for (const std::string& supplier : form_.suppliers) FurnizorBox->addItem(Text(supplier));
        FurnizorBox->setCurrentIndex(FurnizorBox->findText(Text(form_.supplier)));
        FurnizorBox->setEditText(Text(form_.supplier));
    }
    DocPanel->setEnabled(form_.documentPanelEnabled());
    DelegatEdit->setText(Text(form_.delegate));
    ReceptEdit->setText(Text(form_.receiver));
    GestEdit->setText(Text(form_.storekeeper));
}

void TAddNIRF::ReadFields() {
    form_.number = Number(NrNirEdit->text()).toLongLong();
    form_.date = FromQDate(DataNirEdit->date());
    if (form_.adding) form_.supplier = Std(FurnizorBox->currentText());
    form_.delegate = Std(DelegatEdit->text());
    form_.receiver = Std(ReceptEdit->text());
    form_.storekeeper = Std(GestEdit->text());
}

// The documents query under the form's filter; a modified note's grid sits on its document.
void TAddNIRF::ReloadDocuments(std::optional<long long> idFact) {
    Guarded([&] {
        auto rows =
            std::make_unique<tables::ResultSet>(core::NirHeaderForm::QueryDocuments(session_.db()));
        rows->setFilter(form_.documentsFilter());
        if (idFact) rows->locate("IDFACT", tables::Value(*idFact));
        documentModel_->setResultSet(rows.get(), {{"SERIANR", "Seria si numarul", {}}});
        documents_ = std::move(rows);
    });
}

void TAddNIRF::SupplierChanged() {
    if (!documents_ || !form_.adding) return;
    form_.supplier = Std(FurnizorBox->currentText());
    Guarded([&] { documents_->setFilter(form_.documentsFilter()); });
    documentModel_->setResultSet(documents_.get(), {{"SERIANR", "Seria si numarul", {}}});
}

std::optional<long long> TAddNIRF::CurrentDocument() const {
    if (!documents_ || documents_->eof()) return std::nullopt;
    return documents_->asNumber("IDFACT").toLongLong();
}

void TAddNIRF::MemoButClick() {
    ReadFields();
    const std::optional<long long> document = CurrentDocument();
    std::optional<core::FieldProblem> problem;
    if (!Guarded([&] { problem = form_.check(session_.db(), document); })) return;
    // The names come back trimmed.
    DelegatEdit->setText(Text(form_.delegate));
    ReceptEdit->setText(Text(form_.receiver));
    GestEdit->setText(Text(form_.storekeeper));
    if (problem) {
        ShowProblem(*problem, this);
        return;
    }
    if (Guarded([&] { savedId_ = form_.save(session_.db(), session_.settings(), *document); }))
        accept();
}

}  // namespace tvx::ui

// The preview of a received e-invoice: the header as text, the lines in a grid whose unit
// (for a code without one), mark-up and sale price cells are editable, and the notes below.
#include "ui/purchases/TFPreluareEFactF.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/einvoice/EInvoiceImport.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {

namespace {

enum Column {
    kSource,
    kProduct,
    kCategory,
    kUnitCode,
    kUnit,
    kQuantity,
    kPrice,
    kValue,
    kVat,
    kMarkup,
    kSale,
    kColumns
};

const char* const kTitles[kColumns] = {"Linia", "Produs",    "Categoria",     "Cod UM",
                                       "U.M.",  "Cantitate", "Pret furnizor", "Valoare",
                                       "TVA %", "Adaos %",   "Pret vanzare"};

QString Money(const tables::Decimal& x) {
    return Text(x.rescaled(2).toString());
}

// A price with at least two decimals and as many more as it has.
QString Price(const tables::Decimal& x) {
    const tables::Decimal shown = x.normalized();
    return shown.scale() < 2 ? Money(x) : Text(shown.toString());
}

}  // namespace

TFPreluareEFactF::TFPreluareEFactF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFPreluareEFactF", core::kEInvoiceImportTitle);
    setWindowTitle(core::kEInvoiceImportTitle);
    Antet = new QLabel(this);
    NameControl(Antet, "Antet", "Factura");
    Antet->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FaceNir = new QCheckBox("Face N.I.R. in gestiunea", this);
    NameControl(FaceNir, "FaceNir", "Face N.I.R.");
    GesBox = new QComboBox(this);
    NameControl(GesBox, core::EInvoiceImport::kLocationField, "Gestiunea");
    LiniiGrid = new QTableWidget(0, kColumns, this);
    NameControl(LiniiGrid, core::EInvoiceImport::kLinesField, "Liniile facturii");
    QStringList titles;
    for (const char* title : kTitles) titles << title;
    LiniiGrid->setHorizontalHeaderLabels(titles);
    LiniiGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    LiniiGrid->verticalHeader()->hide();
    Mesaje = new QPlainTextEdit(this);
    NameControl(Mesaje, "Mesaje", "Mesaje");
    Mesaje->setReadOnly(true);
    Memoreaza = MakeButton("Memoreaza", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* nir = new QHBoxLayout;
    nir->addWidget(FaceNir);
    nir->addWidget(GesBox);
    nir->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Antet);
    layout->addLayout(nir);
    layout->addWidget(LiniiGrid, 3);
    layout->addWidget(new QLabel("Mesaje", this));
    layout->addWidget(Mesaje, 1);
    layout->addLayout(ButtonRow(Memoreaza, Renunt));
    resize(1100, 640);

    connect(FaceNir, &QCheckBox::toggled, this, [this] { NirChanged(); });
    connect(GesBox, &QComboBox::currentTextChanged, this, [this] { NirChanged(); });
    connect(LiniiGrid, &QTableWidget::cellChanged, this,
            [this](int row, int column) { LineEdited(row, column); });
    connect(Memoreaza, &QPushButton::clicked, this, [this] { MemoreazaClick(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this);
}

bool TFPreluareEFactF::Preview(core::EInvoiceImport& import,
                               const std::vector<std::string>& locations) {
    import_ = &import;
    loading_ = true;
    GesBox->clear();
    for (const std::string& name : locations) GesBox->addItem(Text(name));
    if (import.location.empty() && !locations.empty()) import.location = locations.front();
    GesBox->setCurrentText(Text(import.location));
    FaceNir->setChecked(import.makeNir);
    GesBox->setEnabled(import.makeNir);
    loading_ = false;
    ShowHeader();
    ShowLines();
    ShowNotes();
    LiniiGrid->setFocus();
    const bool saved = exec() == QDialog::Accepted;
    import_ = nullptr;
    return saved;
}

void TFPreluareEFactF::ShowHeader() {
    const core::EInvoiceImport& in = *import_;
    const core::ReceivedEInvoice& d = in.document();
    Antet->setText(Text(
        "Furnizor: " + in.furnizor + "    Cod fiscal: " + in.cui + "\nCont: " + in.cont +
        "    Banca: " + in.banca + "\n" + in.numeFact + " nr. " + in.seriaNr + " din " +
        in.dataIn.toString() + "    Scadenta: " + in.dataScad.toString() +
        "\nTotal fara TVA: " + d.taxExclusive.toString() + "    TVA: " + d.vatTotal.toString() +
        "    Total cu TVA: " + d.taxInclusive.toString() + "    De plata: " + d.payable.toString() +
        " " + d.currency));
}

void TFPreluareEFactF::ShowLines() {
    loading_ = true;
    LiniiGrid->clearContents();
    LiniiGrid->setRowCount(static_cast<int>(import_->lines.size()));
    for (int row = 0; row < LiniiGrid->rowCount(); ++row) ShowRow(row);
    LiniiGrid->resizeColumnsToContents();
    loading_ = false;
}

void TFPreluareEFactF::ShowRow(int row) {
    const core::ImportedLine& line = import_->lines.at(static_cast<std::size_t>(row));
    const bool wasLoading = loading_;
    loading_ = true;
    const auto put = [&](int column, const QString& text, bool editable) {
        // The items stay: a cell is rewritten while its own change is being handled.
        QTableWidgetItem* item = LiniiGrid->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            if (column >= kQuantity) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            LiniiGrid->setItem(row, column, item);
        }
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (editable) flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        item->setText(text);
    };
    const bool priced = line.inNir && line.category == "MARFA";
    put(kSource, Text(line.source), false);
    put(kProduct, Text(line.product), false);
    put(kCategory, Text(line.category), false);
    put(kUnitCode, Text(line.unitCode), false);
    put(kUnit, Text(line.unit), !line.unitFromCode);
    put(kQuantity, Text(line.quantity.toString()), false);
    put(kPrice, Price(line.price), false);
    put(kValue, Money(line.value), false);
    put(kVat, Text(line.vatPercent.toPlainString()), false);
    put(kMarkup, line.inNir ? Text(line.markup.toPlainString()) : QString(), priced);
    put(kSale, line.inNir ? Money(line.sale) : QString(), priced);
    loading_ = wasLoading;
}

void TFPreluareEFactF::ShowNotes() {
    QString text;
    std::vector<core::ImportNote> notes;
    Guarded([&] { notes = import_->notes(); });
    for (const core::ImportNote& note : notes) {
        const char* mark = note.scope == core::ImportNoteScope::BlocksAll   ? "[!] "
                           : note.scope == core::ImportNoteScope::BlocksNir ? "[N.I.R.] "
                                                                            : "";
        text += QString(mark) + Text(note.text) + "\n";
    }
    Mesaje->setPlainText(text);
}

void TFPreluareEFactF::LineEdited(int row, int column) {
    if (loading_ || !import_) return;
    core::ImportedLine& line = import_->lines.at(static_cast<std::size_t>(row));
    const QString text = LiniiGrid->item(row, column)->text();
    Guarded([&] {
        if (column == kUnit) {
            line.unit = Std(text);
            import_->unitChanged(static_cast<std::size_t>(row));
        } else if (column == kMarkup) {
            line.markup = Number(text);
            import_->markupChanged(static_cast<std::size_t>(row));
        } else if (column == kSale) {
            line.sale = Number(text);
            import_->saleChanged(static_cast<std::size_t>(row));
        }
    });
    ShowRow(row);
    ShowNotes();
}

void TFPreluareEFactF::NirChanged() {
    if (loading_ || !import_) return;
    import_->makeNir = FaceNir->isChecked();
    import_->location = Std(GesBox->currentText());
    GesBox->setEnabled(import_->makeNir);
    ShowNotes();
}

void TFPreluareEFactF::MemoreazaClick() {
    NirChanged();
    std::optional<core::Message> refusal;
    if (!Guarded([&] { refusal = import_->refusal(); })) return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    accept();
}

}  // namespace tvx::ui

// The controls of "Facturi de iesire - Vanzari" and their layout (ui/sales): the left panel with
// the filter fields, the print fields and the document buttons; on the right the heading, the
// document grid with the remark of the current row, and the receipts with their buttons. Sized
// for 1280x800.
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/sales/Receipts.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/sales/TFactOutF.h"

namespace tvx::ui {

namespace {

QCheckBox* Tick(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(caption, parent);
    NameControl(box, name, caption);
    return box;
}

}  // namespace

std::vector<GridColumn> TFactOutF::DocumentColumns() {
    return {{"GESTIUNE", "Gestiunea", ""},
            {"SOC2", "Cumparator", ""},
            {"CUI2", "CUI", ""},
            {"SERIA", "Seria Facturii", ""},
            {"NR", "Numarul Facturii", "0"},
            {"DATAOUT", "Din data", "dd.MM.yyyy"},
            {"DATASCAD", "Scadenta la data", "dd.MM.yyyy"},
            {"TOTAL", "Total", "0.00"},
            {"REST", "Rest de incasat", "0.00"},
            {"LISTARI", "Lis- tari", "0"}};
}

std::vector<GridColumn> TFactOutF::ReceiptColumns() {
    return {{"DOCJUS", "Document justificativ", ""},
            {"SERIA", "Seria", ""},
            {"NR", "Numarul", "0"},
            {"DATAOUT", "Din data", "dd.MM.yyyy"},
            {"SUMA", "Valoare", "0.00"},
            {"REPREZ", " Reprezentand", ""}};
}

void TFactOutF::BuildControls() {
    Heading = TitleLine(this, "banner", "Facturi de iesire - Vanzari");
    GesBox = new QComboBox(this);
    NameControl(GesBox, "GesBox", "GESTIUNEA");
    CumpBox = new QComboBox(this);
    NameControl(CumpBox, "CumpBox", "Cauta cumparatorul");
    CuiEd = TextBox(this, "CuiEd", "CUI", 20, true);
    NeincCheck = Tick(this, "NeincCheck", "Doar facturile neincasate");
    NrEx = NumberBox(this, "NrEx", "Nr.ex.", 3, 0, false);
    PreviewCheck = Tick(this, "PreviewCheck", "Vizualizare inainte de listare");
    PreviewCheck->setChecked(true);
    StampCheck = Tick(this, "StampCheck", "Cu stampila");

    DetOut = MakeButton("DetOut", "Vizualizare Factura", this);
    AddSel = MakeButton("AddSel", "Adauga Factura", this);
    EditSel = MakeButton("EditSel", "Modifica Factura", this);
    DelSel = MakeButton("DelSel", "Sterge Factura", this);
    ListFact = MakeButton("ListFact", "Factura", this);
    ListChit = MakeButton("ListChit", "Chitanta", this);
    ListFactChit = MakeButton("ListFactChit", "Fact.+chitanta", this);
    ComandaBut = MakeButton("ComandaBut", "Listeaza deviz", this);
    XMLBut = MakeButton("XMLBut", "XML e-Factura", this);

    GridTitle = TitleLine(this, "title", "Lista facturilor eliberate");
    documentModel_ = new ResultSetModel(this);
    SMDBGrid2 = MakeGrid(this, "SMDBGrid2", "Lista facturilor eliberate", documentModel_);
    // A title click orders the list through its statement; several rows may be selected.
    SMDBGrid2->setSortingEnabled(false);
    SMDBGrid2->horizontalHeader()->setSectionsClickable(true);
    SMDBGrid2->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ObsText = new QLabel(this);
    NameControl(ObsText, "ObsText", "Observatii");
    ObsText->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    ObsText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ObsText->setWordWrap(true);

    receiptModel_ = new ResultSetModel(this);
    GridChit = MakeGrid(this, core::kReceiptsGrid, "Incasari", receiptModel_);
    GridChit->setSortingEnabled(false);
    AddInc = MakeButton("AddInc", "Adauga incasare", this);
    DelInc = MakeButton(core::kDeleteReceiptButton, "Sterge incasare", this);
}

void TFactOutF::BuildLayout() {
    auto* filters = new QFormLayout;
    filters->setRowWrapPolicy(QFormLayout::WrapAllRows);
    filters->addRow("GESTIUNEA", GesBox);
    filters->addRow("Cauta cumparatorul", CumpBox);
    filters->addRow("CUI", CuiEd);
    filters->addRow(NeincCheck);

    auto* printing = new QGroupBox("Listare", this);
    auto* printForm = new QFormLayout(printing);
    printForm->addRow("Nr.ex.", NrEx);
    printForm->addRow(PreviewCheck);
    printForm->addRow(StampCheck);
    NrEx->setMaximumWidth(NrEx->fontMetrics().horizontalAdvance("00000") + 16);

    auto* buttons = new QGridLayout;
    buttons->addWidget(DetOut, 0, 0, 1, 2);
    buttons->addWidget(AddSel, 1, 0, 1, 2);
    buttons->addWidget(EditSel, 2, 0, 1, 2);
    buttons->addWidget(DelSel, 3, 0, 1, 2);
    buttons->addWidget(ListFact, 4, 0);
    buttons->addWidget(ListChit, 4, 1);
    buttons->addWidget(ListFactChit, 5, 0, 1, 2);
    buttons->addWidget(ComandaBut, 6, 0, 1, 2);
    buttons->addWidget(XMLBut, 7, 0, 1, 2);

    auto* panel = new QVBoxLayout;
    panel->addLayout(filters);
    panel->addWidget(printing);
    panel->addLayout(buttons);
    panel->addStretch();

    auto* obs = new QHBoxLayout;
    obs->addWidget(new QLabel("Observatii", this));
    obs->addWidget(ObsText, 1);

    auto* receiptButtons = new QVBoxLayout;
    receiptButtons->addWidget(AddInc);
    receiptButtons->addWidget(DelInc);
    receiptButtons->addStretch();
    auto* receipts = new QGroupBox("Incasari", this);
    auto* receiptRow = new QHBoxLayout(receipts);
    receiptRow->addWidget(GridChit, 1);
    receiptRow->addLayout(receiptButtons);

    auto* right = new QVBoxLayout;
    right->addWidget(GridTitle);
    right->addWidget(SMDBGrid2, 3);
    right->addLayout(obs);
    right->addWidget(receipts, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(panel);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Heading);
    layout->addLayout(body, 1);

    GesBox->setMinimumWidth(GesBox->fontMetrics().horizontalAdvance(QString(22, 'W')));
    SMDBGrid2->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    SMDBGrid2->horizontalHeader()->setDefaultSectionSize(96);
    GridChit->horizontalHeader()->setStretchLastSection(true);
    GridChit->setMinimumHeight(140);
    resize(1240, 760);
}

}  // namespace tvx::ui

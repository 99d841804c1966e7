// The controls of the window "Note de receptie" and their layout (ui/stock): the notes list with
// its search box and note buttons on the left; on the right the header of the current note, its
// lines, the names and totals and the line buttons. Sized to read well at 1280x800.
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

#include "core/stock/NirNotes.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/stock/TNIRF.h"

namespace tvx::ui {

namespace {

// A read-only value of the current note, framed like a field.
QLabel* ValueText(QWidget* parent, const char* name, const char* label, bool amount = false) {
    auto* text = new QLabel(parent);
    NameControl(text, name, label);
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setMinimumWidth(text->fontMetrics().horizontalAdvance("000000000.00") + 8);
    if (amount) text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return text;
}

QFormLayout* Form() {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return form;
}

}  // namespace

void TNIRF::BuildControls() {
    NirGrid = MakeGrid(this, core::kNirListField, "Receptii");
    noteModel_ = new ResultSetModel(this);
    noteModel_->attach(NirGrid);
    CautFurnizor = new QLineEdit(this);
    NameControl(CautFurnizor, "CautFurnizor", "Cautare dupa Furnizor");
    ConfigureTextBox(CautFurnizor, 32, true);
    CautNumar = new QLineEdit(this);
    NameControl(CautNumar, "CautNumar", "Cautare dupa Numar");
    ConfigureNumberBox(CautNumar, 10, 0);
    AddNir = MakeButton("AddNir", "Adauga Receptie", this);
    EditNir = MakeButton("EditNir", "&Modifica Receptia", this);
    DelNir = MakeButton("DelNir", "&Sterge Receptia", this);
    PrintNir = MakeButton("PrintNir", "&Listeaza Receptia", this);

    NrNirText = ValueText(this, "NrNirText", "Nota de receptie nr.");
    DataNirText = ValueText(this, "DataNirText", "din data");
    FurnizorText = ValueText(this, "FurnizorText", "Furnizor");
    DocText = ValueText(this, "DocText", "Document de intrare");
    SerieText = ValueText(this, "SerieText", "seria si numarul");
    DataFactText = ValueText(this, "DataFactText", "din data");
    DelegatText = ValueText(this, "DelegatText", "Delegat");

    ProdGrid = MakeGrid(this, core::kNirLinesField, "Produse receptionate");
    lineModel_ = new ResultSetModel(this);
    lineModel_->attach(ProdGrid);
    ProdGrid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    ReceptioText = ValueText(this, "ReceptioText", "Receptioner");
    GestioText = ValueText(this, "GestioText", "Gestionar");
    VmfText = ValueText(this, "VmfText", "Valoare marfa furnizor", true);
    VafText = ValueText(this, "VafText", "Valoare ambalaj", true);
    VacText = ValueText(this, "VacText", "Valoare adaos comercial", true);
    VtnText = ValueText(this, "VtnText", "ValoareTVA neexigibil", true);
    TotalText = ValueText(this, "TotalText", "TOTAL valoare amanunt", true);
    AddProd = MakeButton("AddProd", "Adauga Produs", this);
    EditProd = MakeButton("EditProd", "M&odifica Produs", this);
    DelProd = MakeButton("DelProd", "S&terge Produs", this);
}

void TNIRF::BuildLayout() {
    // Left: the notes, the search box and the note commands.
    auto* search = new QGroupBox("Cautare N.I.R. dupa");
    auto* searchForm = Form();
    searchForm->addRow("Furnizor", CautFurnizor);
    searchForm->addRow("Numar", CautNumar);
    search->setLayout(searchForm);
    auto* noteButtons = new QGridLayout;
    noteButtons->addWidget(AddNir, 0, 0);
    noteButtons->addWidget(EditNir, 0, 1);
    noteButtons->addWidget(DelNir, 1, 0);
    noteButtons->addWidget(PrintNir, 1, 1);
    auto* notes = new QGroupBox("Receptii");
    auto* left = new QVBoxLayout(notes);
    left->addWidget(NirGrid, 1);
    left->addWidget(search);
    left->addLayout(noteButtons);

    // Right: the header of the current note in two aligned columns.
    auto* header = new QGridLayout;
    auto label = [](const char* text) {
        auto* l = new QLabel(text);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    header->addWidget(label("Nota de receptie nr."), 0, 0);
    header->addWidget(NrNirText, 0, 1);
    header->addWidget(label("din data"), 0, 2);
    header->addWidget(DataNirText, 0, 3);
    header->addWidget(label("Furnizor"), 1, 0);
    header->addWidget(FurnizorText, 1, 1, 1, 3);
    header->addWidget(label("Document de intrare"), 2, 0);
    header->addWidget(DocText, 2, 1);
    header->addWidget(label("seria si numarul"), 2, 2);
    header->addWidget(SerieText, 2, 3);
    header->addWidget(label("din data"), 2, 4);
    header->addWidget(DataFactText, 2, 5);
    header->addWidget(label("Delegat"), 3, 0);
    header->addWidget(DelegatText, 3, 1, 1, 5);
    header->setColumnStretch(1, 1);
    header->setColumnStretch(3, 1);
    header->setColumnStretch(5, 1);

    auto* names = Form();
    names->addRow("Receptioner", ReceptioText);
    names->addRow("Gestionar", GestioText);
    auto* totals = Form();
    totals->addRow("Valoare marfa furnizor", VmfText);
    totals->addRow("Valoare ambalaj", VafText);
    totals->addRow("Valoare adaos comercial", VacText);
    totals->addRow("ValoareTVA neexigibil", VtnText);
    totals->addRow("TOTAL valoare amanunt", TotalText);
    auto* lineButtons = new QVBoxLayout;
    lineButtons->addWidget(AddProd);
    lineButtons->addWidget(EditProd);
    lineButtons->addWidget(DelProd);
    lineButtons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(names, 2);
    bottom->addSpacing(16);
    bottom->addLayout(totals, 1);
    bottom->addSpacing(16);
    bottom->addLayout(lineButtons);

    auto* content = new QGroupBox("Continut N.I.R.");
    auto* right = new QVBoxLayout(content);
    right->addLayout(header);
    right->addWidget(new QLabel("Produse receptionate"));
    right->addWidget(ProdGrid, 1);
    right->addLayout(bottom);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(notes, 2);
    layout->addWidget(content, 3);

    NirGrid->horizontalHeader()->setStretchLastSection(true);
    NirGrid->setMinimumWidth(420);
    ProdGrid->setMinimumHeight(220);
    resize(1240, 740);
}

}  // namespace tvx::ui

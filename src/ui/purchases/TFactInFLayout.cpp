// The controls of "Acte de intrare" and their layout (ui/purchases): on the left the history
// of documents with the supplier search above and the document buttons below, on the right
// the payments of the current document with their buttons; sized for 1280x800.
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/purchases/IncomingInvoices.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/purchases/TFactInF.h"

namespace tvx::ui {

using Invoices = core::IncomingInvoices;

namespace {}  // namespace

std::vector<GridColumn> TFactInF::DocumentColumns() {
    return {{"NUMEFACT", "Document justificativ", ""},
            {"SERIANR", "Seria si Numarul", ""},
            {"DATAIN", "Din Data", "dd.MM.yyyy"},
            {"FURNIZOR", "Furnizor", ""},
            {"CUI", "Cod Fiscal", ""},
            {"BANCA", "Banca", ""},
            {"CONT", "Cont", ""},
            {"DATASCAD", "Scadent la data", "dd.MM.yyyy"},
            {"VALOARE", "Valoare", "0.00"},
            {"TVAPROC", "Procent TVA", "0"},
            {"TOTAL", "Valoare cu TVA", "0.00"},
            {"REST", "Rest de plata", "0.00"}};
}

std::vector<GridColumn> TFactInF::PaymentColumns() {
    return {{"DOCJUS", "Document justificativ", ""},
            {"SERIANR", "Seria si Numarul", ""},
            {"DATAC", "Din Data", "dd.MM.yyyy"},
            {"PLATIT", "Valoare", "0.00"}};
}

void TFactInF::BuildControls() {
    CautaFurnizor = TextBox(this, Invoices::kSearchField, "Cauta furnizorul", 40, true);
    documentModel_ = new ResultSetModel(this);
    IstoricIntrari = MakeGrid(this, "IstoricIntrari", "Istoric intrari", documentModel_);
    // A title click orders the list through the core's query, not in memory.
    IstoricIntrari->setSortingEnabled(false);
    IstoricIntrari->horizontalHeader()->setSectionsClickable(true);
    AdaugaIntrare = MakeButton("AdaugaIntrare", "Adauga Intrare", this);
    ModificaIntrare = MakeButton(Invoices::kEditDocumentButton, "Modifica Intrare", this);
    StergeIntrare = MakeButton(Invoices::kDeleteDocumentButton, "Sterge Intrare", this);
    PreluareAviz = MakeButton("PreluareAviz", "Preluare Aviz", this);
    PreluareEFactura = MakeButton("PreluareEFactura", "Preluare e-Factura", this);

    paymentModel_ = new ResultSetModel(this);
    AchitatCu = MakeGrid(this, "AchitatCu", "Achitat cu", paymentModel_);
    AchitatCu->setSortingEnabled(false);
    AdaugaPlata = MakeButton(Invoices::kAddPaymentButton, "Adauga Plata", this);
    ModificaPlata = MakeButton(Invoices::kEditPaymentButton, "Modifica Plata", this);
    StergePlata = MakeButton(Invoices::kDeletePaymentButton, "Sterge Plata", this);
}

void TFactInF::BuildLayout() {
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel("Cauta furnizorul", this));
    search->addWidget(CautaFurnizor);
    search->addStretch();
    auto* documentButtons = new QHBoxLayout;
    for (QPushButton* button : {AdaugaIntrare, ModificaIntrare, StergeIntrare})
        documentButtons->addWidget(button);
    documentButtons->addStretch();
    documentButtons->addWidget(PreluareAviz);
    documentButtons->addWidget(PreluareEFactura);
    auto* history = new QGroupBox("Istoric intrari", this);
    auto* left = new QVBoxLayout(history);
    left->addLayout(search);
    left->addWidget(IstoricIntrari, 1);
    left->addLayout(documentButtons);

    auto* paymentButtons = new QHBoxLayout;
    for (QPushButton* button : {AdaugaPlata, ModificaPlata, StergePlata})
        paymentButtons->addWidget(button);
    auto* paid = new QGroupBox("Achitat cu", this);
    auto* right = new QVBoxLayout(paid);
    right->addWidget(AchitatCu, 1);
    right->addLayout(paymentButtons);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(history, 1);
    layout->addWidget(paid);

    CautaFurnizor->setMinimumWidth(
        CautaFurnizor->fontMetrics().horizontalAdvance(QString(30, 'W')));
    IstoricIntrari->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    IstoricIntrari->horizontalHeader()->setDefaultSectionSize(90);
    int buttons = 0;  // the payments side is as wide as its buttons need
    for (QPushButton* button : {AdaugaPlata, ModificaPlata, StergePlata})
        buttons += button->sizeHint().width();
    paid->setMinimumWidth(buttons + 64);
    resize(1240, 720);
}

}  // namespace tvx::ui

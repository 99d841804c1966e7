// The outgoing invoice editor window's controls, their limits and placement, the columns of
// the grid of lines and the order in which Enter walks the fields.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/common/Checks.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/sales/TFactOutAddF.h"

namespace tvx::ui {

using Editor = core::InvoiceEditor;

std::vector<GridColumn> TFactOutAddF::LineColumns() {
    return {{"NRCRT", "Nr. crt.", ""},
            {"PRODUS", "Denumire produs", ""},
            {"UM", "U.M.", ""},
            {"CANT", "Cantitate", "0.00"},
            {"PRETOUT", "Pret unitar", "0.00"},
            {"VALOUT", "Valoarea", "0.00"},
            {"VALTVA", "Valoare T.V.A.", "0.00"},
            {"GARANTIE", "Garantie pana la", "dd.MM.yyyy"},
            {"OBS", " Observatii", ""}};
}

namespace {

QWidget* Panel(QWidget* parent, const char* name) {
    auto* panel = new QWidget(parent);
    NameControl(panel, name);
    return panel;
}

}  // namespace

void TFactOutAddF::BuildControls() {
    Titlu = TitleLine(this, "banner");
    GestiuneLbl = new QLabel(this);
    NameControl(GestiuneLbl, "GestiuneLbl", "Gestiunea");
    HeaderPanel = Panel(this, "HeaderPanel");
    BuyerPanel = Panel(this, "BuyerPanel");
    ShippingPanel = Panel(this, "ShippingPanel");
    LinesPanel = Panel(this, "LinesPanel");

    ComboBox1 = new QComboBox(HeaderPanel);
    NameControl(ComboBox1, Editor::kTypeField, "Tip document");
    for (const std::string& type : Editor::docTypes()) ComboBox1->addItem(Text(type));
    SeriaEd = TextBox(HeaderPanel, Editor::kSeriesField, "seria", 16, true);
    NrEd = NumberBox(HeaderPanel, Editor::kNumberField, "nr.", 10, 0, false);
    IbanBox = new QComboBox(HeaderPanel);
    NameControl(IbanBox, Editor::kIbanField, "IBAN incasare");
    DinData = DateBox(HeaderPanel, Editor::kDateField, "Din data");
    TermenPl = DateBox(HeaderPanel, Editor::kDueDateField, "Termen de plata");

    CumpaBox = ChoiceBox(BuyerPanel, Editor::kBuyerField, "Cumparator", 32);
    AutoCompl = new QCheckBox("Autocompletare", BuyerPanel);
    NameControl(AutoCompl, Editor::kAutoField, "Autocompletare");
    AutoCompl->setChecked(true);
    RegComEd = TextBox(BuyerPanel, Editor::kRegComField, "Reg.Comertului", 18, true);
    CuiEd = TextBox(BuyerPanel, Editor::kCuiField, "CUI / CNP", 13, true);
    TvaEd = NumberBox(BuyerPanel, Editor::kVatField, "TVA practicat", 5, 2, false);
    TvaEd->setMaxLength(8);
    JudBox = ChoiceBox(BuyerPanel, Editor::kCountyField, "Judetul", 24);
    LocEd = TextBox(BuyerPanel, Editor::kLocalityField, "Localitatea", 24, true);
    AdresaMemo = new QPlainTextEdit(BuyerPanel);
    NameControl(AdresaMemo, Editor::kAddressField, "Adresa");
    AdresaMemo->setTabChangesFocus(true);  // Enter makes a new line, Tab moves on
    BancaEd = TextBox(BuyerPanel, Editor::kBankField, "Banca", 36, true);
    ConfigureDisplayBox(BancaEd);
    Edit4 = TextBox(BuyerPanel, Editor::kAccountField, "Cont", core::kTypedIbanLength, true);
    ReprezBox = ChoiceBox(BuyerPanel, Editor::kRepresentativeField, "Reprezentant", 32);

    ObsEd = TextBox(ShippingPanel, Editor::kObsField, "Observatii", 200, false);
    DelegEd =
        TextBox(ShippingPanel, Editor::kDelegateField, "Delegat (nume, prenume, C.I.)", 80, false);
    MijtEd = TextBox(ShippingPanel, Editor::kTransportField, "Mijloc de transport", 40, false);
    DataLiv = DateBox(ShippingPanel, Editor::kDeliveryDateField, "Data si ora livrarii");
    OraLiv = new QTimeEdit(ShippingPanel);
    NameControl(OraLiv, Editor::kDeliveryTimeField, "Ora livrarii");
    OraLiv->setDisplayFormat("HH:mm:ss");
    OperatorEd =
        TextBox(ShippingPanel, Editor::kOperatorField, "Operator (nume, prenume, CNP)", 80, false);

    linesModel_ = new ResultSetModel(this);
    LiniiGrid = MakeGrid(this, Editor::kGridField, "Linii factura", linesModel_);
    LiniiGrid->setSortingEnabled(false);  // lines stay in NRCRT order
    AddProd = MakeButton("AddProd", "Adauga Produs", LinesPanel);
    AddServ = MakeButton("AddServ", "Adauga Serviciu", LinesPanel);
    DelLin = MakeButton("DelLin", "Sterge linia", LinesPanel);
    TotalVal = new QLabel("0.00", this);
    NameControl(TotalVal, "TotalVal", "Total valoare");
    TotalTva = new QLabel("0.00", this);
    NameControl(TotalTva, "TotalTva", "Total T.V.A.");
    TotalPlata = new QLabel("0.00", this);
    NameControl(TotalPlata, "TotalPlata", "Total de plata");
    B11 = MakeButton("B11", "&Memoreaza", this);
    Renunt = MakeButton("Renunt", "RENUNT", this);
}

void TFactOutAddF::BuildLayout() {
    auto* header = new QHBoxLayout(HeaderPanel);
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(ComboBox1);
    header->addWidget(new QLabel("seria", HeaderPanel));
    header->addWidget(SeriaEd);
    header->addWidget(new QLabel("nr.", HeaderPanel));
    header->addWidget(NrEd);
    header->addWidget(new QLabel("IBAN incasare", HeaderPanel));
    header->addWidget(IbanBox, 1);
    header->addWidget(new QLabel("Din data", HeaderPanel));
    header->addWidget(DinData);
    header->addWidget(new QLabel("Termen de plata", HeaderPanel));
    header->addWidget(TermenPl);

    auto* buyer = new QGridLayout(BuyerPanel);
    buyer->setContentsMargins(0, 0, 0, 0);
    auto label = [this](const char* text) { return new QLabel(text, BuyerPanel); };
    buyer->addWidget(label("Cumparator"), 0, 0);
    buyer->addWidget(CumpaBox, 0, 1);
    buyer->addWidget(AutoCompl, 0, 2);
    buyer->addWidget(label("Reg.Comertului"), 1, 0);
    buyer->addWidget(RegComEd, 1, 1);
    buyer->addWidget(label("CUI / CNP"), 2, 0);
    buyer->addWidget(CuiEd, 2, 1);
    auto* vat = new QHBoxLayout;
    vat->addWidget(label("TVA practicat"));
    vat->addWidget(TvaEd);
    vat->addWidget(label("%"));
    buyer->addLayout(vat, 2, 2);
    buyer->addWidget(label("Judetul"), 3, 0);
    buyer->addWidget(JudBox, 3, 1);
    buyer->addWidget(label("Localitatea"), 4, 0);
    buyer->addWidget(LocEd, 4, 1);
    buyer->addWidget(label("Adresa"), 0, 3);
    buyer->addWidget(AdresaMemo, 0, 4, 3, 1);
    buyer->addWidget(label("Banca"), 3, 3);
    buyer->addWidget(BancaEd, 3, 4);
    buyer->addWidget(label("Cont"), 4, 3);
    buyer->addWidget(Edit4, 4, 4);
    buyer->addWidget(label("Reprezentant"), 5, 0);
    buyer->addWidget(ReprezBox, 5, 1);
    AdresaMemo->setMaximumHeight(AdresaMemo->fontMetrics().lineSpacing() * 4 + 12);

    auto* lineButtons = new QVBoxLayout(LinesPanel);
    lineButtons->setContentsMargins(0, 0, 0, 0);
    for (QPushButton* button : {AddProd, AddServ, DelLin}) lineButtons->addWidget(button);
    lineButtons->addStretch();
    auto* totals = new QFormLayout;
    totals->addRow("Total valoare", TotalVal);
    totals->addRow("Total T.V.A.", TotalTva);
    totals->addRow("Total de plata", TotalPlata);
    auto* side = new QVBoxLayout;
    side->addWidget(LinesPanel);
    side->addLayout(totals);
    auto* lines = new QHBoxLayout;
    lines->addWidget(LiniiGrid, 1);
    lines->addLayout(side);

    auto* shipping = new QFormLayout(ShippingPanel);
    shipping->setContentsMargins(0, 0, 0, 0);
    shipping->addRow("Observatii", ObsEd);
    shipping->addRow("Delegat (nume, prenume, C.I.)", DelegEd);
    shipping->addRow("Mijloc de transport", MijtEd);
    auto* delivery = new QHBoxLayout;
    delivery->addWidget(DataLiv);
    delivery->addWidget(OraLiv);
    delivery->addStretch();
    shipping->addRow("Data si ora livrarii", delivery);
    shipping->addRow("Operator (nume, prenume, CNP)", OperatorEd);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Titlu);
    layout->addWidget(GestiuneLbl);
    layout->addWidget(HeaderPanel);
    layout->addWidget(BuyerPanel);
    layout->addLayout(lines, 1);
    layout->addWidget(ShippingPanel);
    layout->addLayout(ButtonRow(B11, Renunt));

    // Enter walks the fields in this order from "Din data", where the window opens, so the
    // collecting account comes right after the dates; the operator field is the last one.
    const std::vector<QWidget*> order = {
        ComboBox1,  SeriaEd,   NrEd,    DinData, TermenPl, IbanBox, CumpaBox,
        AutoCompl,  RegComEd,  CuiEd,   TvaEd,   JudBox,   LocEd,   AdresaMemo,
        Edit4,      ReprezBox, ObsEd,   DelegEd, MijtEd,   DataLiv, OraLiv,
        OperatorEd, LiniiGrid, AddProd, AddServ, DelLin,   B11,     Renunt};
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
    resize(1000, 720);
}

}  // namespace tvx::ui

// The client statement window and the selection dialog of unpaid invoices.
#include "ui/sales/TFiseClF.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/admin/CompanyProfile.h"
#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Rounding.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/printing/ActivityReports.h"
#include "ui/printing/TPreview.h"

namespace tvx::ui {

namespace {

std::vector<GridColumn> InvoiceColumns() {
    return {{"DATAOUT", "Din data", "dd.MM.yyyy"},
            {"SERIA", "Seria", ""},
            {"NR", "Numarul", ""},
            {"TOTAL", "Valoare", "0.00"},
            {"REST", "Rest de incasat", "0.00"}};
}

std::vector<GridColumn> ReceiptColumns() {
    return {{"DATAOUT", "Din data", "dd.MM.yyyy"},
            {"SERIA", "Seria", ""},
            {"NR", "Numarul", ""},
            {"SUMA", "Suma incasata", "0.00"}};
}

}  // namespace

TFiseClF::TFiseClF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TFiseClF", "Fise clienti");
    setWindowTitle("Tarvix");
    SocBox = new QComboBox(this);
    NameControl(SocBox, "SocBox", "Client");
    DataBox = DateBox(this, "DataBox", "De la data");
    DataBox->setDate(ToQDate(core::DefaultStatementStart(core::Today())));
    factModel_ = new ResultSetModel(this);
    chitModel_ = new ResultSetModel(this);
    FactGrid = MakeGrid(this, "FactGrid", "Facturi", factModel_);
    ChitGrid = MakeGrid(this, "ChitGrid", "Incasari", chitModel_);
    TotalFact = new QLabel("0.00", this);
    NameControl(TotalFact, "TotalFact", "Total facturat");
    TotalRest = new QLabel("0.00", this);
    NameControl(TotalRest, "TotalRest", "Rest de incasat");
    BitBtn3 = MakeButton("BitBtn3", "&Listeaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);

    auto* form = new QFormLayout;
    form->addRow("Client", SocBox);
    form->addRow("De la data", DataBox);
    auto* grids = new QHBoxLayout;
    for (auto [caption, grid] :
         {std::pair{" Facturi", FactGrid}, std::pair{" Incasari", ChitGrid}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(caption, this));
        column->addWidget(grid);
        grids->addLayout(column, grid == FactGrid ? 6 : 5);
    }
    auto* totals = new QFormLayout;
    totals->addRow("Total facturat", TotalFact);
    totals->addRow("Rest de incasat", TotalRest);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner("FISE CLIENTI", this));
    layout->addLayout(form);
    layout->addLayout(grids, 1);
    layout->addLayout(totals);
    layout->addLayout(ButtonRow(BitBtn3, Renunt));
    resize(1000, 560);

    connect(SocBox, &QComboBox::currentIndexChanged, this, [this] { SocBoxChange(); });
    connect(DataBox, &QDateEdit::dateChanged, this, [this] { SocBoxChange(); });
    connect(BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, BitBtn3);
}

void TFiseClF::OpenClientStatements() {
    const bool read = Guarded([&] {
        const std::vector<std::string> buyers = core::BuyerNames(session_.db());
        invoices_ = core::QueryStatementInvoices(session_.db());
        receipts_ = core::QueryStatementReceipts(session_.db());
        const QSignalBlocker quiet(SocBox);
        SocBox->clear();
        for (const std::string& name : buyers) SocBox->addItem(Text(name));
        SocBox->setCurrentIndex(buyers.empty() ? -1 : 0);
    });
    if (!read) return;
    factModel_->setResultSet(&invoices_, InvoiceColumns());
    chitModel_->setResultSet(&receipts_, ReceiptColumns());
    open_ = true;
    SocBoxChange();
    SocBox->setFocus();
    exec();
    open_ = false;
    factModel_->setResultSet(nullptr);
    chitModel_->setResultSet(nullptr);
    invoices_ = {};
    receipts_ = {};
}

void TFiseClF::SocBoxChange() {
    if (!open_) return;
    if (busy_) {
        pending_ = true;
        return;
    }
    busy_ = true;
    do {
        pending_ = false;
        const std::string filter =
            core::StatementFilter(Std(SocBox->currentText()), FromQDate(DataBox->date()));
        Guarded([&] {
            invoices_.setFilter(filter);
            receipts_.setFilter(filter);
        });
        factModel_->setResultSet(&invoices_, InvoiceColumns());
        chitModel_->setResultSet(&receipts_, ReceiptColumns());
        FactGrid->resizeColumnsToContents();
        ChitGrid->resizeColumnsToContents();
        const core::StatementTotals totals = core::SumStatement(invoices_);
        TotalFact->setText(Text(core::RoundHalfAway(totals.invoiced, 2).toString()));
        TotalRest->setText(Text(core::RoundHalfAway(totals.left, 2).toString()));
    } while (pending_);
    busy_ = false;
}

void TFiseClF::BitBtn3Click() {
    printing::LaidOutReport report;
    const bool prepared = Guarded([&] {
        report = PrepareClientStatementReport(session_.db(), session_.profile.denumire,
                                              session_.profile.codFisc, Std(SocBox->currentText()),
                                              FromQDate(DataBox->date()));
    });
    if (prepared) TPreview::ShowPreview(report, {}, this);
}

QString TFiseClF::totalInvoiced() const {
    return TotalFact->text();
}

QString TFiseClF::totalLeft() const {
    return TotalRest->text();
}

TSelectFactF::TSelectFactF(QWidget* parent)
    : QDialog(parent), selection_(core::UnpaidSelection::Defaults(core::Today())) {
    NameControl(this, "TSelectFactF", "Selectie");
    setWindowTitle("Selectie");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // As wide as a stored buyer name, so that choosing a long name never cuts it.
    SocBox = ChoiceBox(this, "SocBox", "Societatea", 32);
    DeLa = DateBox(this, "DeLa", "incepand cu");
    PanaLa = DateBox(this, "PanaLa", "terminand cu");
    DeLa->setDate(ToQDate(selection_.from));
    PanaLa->setDate(ToQDate(selection_.to));
    Listeaza = MakeButton("Listeaza", "&Listeaza", this);
    Renunt = MakeButton("Renunt", "&Renunt", this);
    auto* form = new QFormLayout;
    form->addRow("Societatea", SocBox);
    form->addRow(new QLabel("Data facturarii", this));
    form->addRow("incepand cu", DeLa);
    form->addRow("terminand cu", PanaLa);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner("FACTURI RESTANTE", this));
    layout->addWidget(Banner("SELECTIE", this));
    layout->addLayout(form);
    layout->addLayout(ButtonRow(Listeaza, Renunt));
    connect(Listeaza, &QPushButton::clicked, this, [this] {
        selection_.buyer = Std(SocBox->currentText());
        selection_.from = FromQDate(DeLa->date());
        selection_.to = FromQDate(PanaLa->date());
        accept();
    });
    connect(Renunt, &QPushButton::clicked, this, &QDialog::reject);
    EnterEscFilter::install(this, Listeaza);
}

bool TSelectFactF::Selecteaza(const std::vector<std::string>& items) {
    const QString typed = SocBox->currentText();
    SocBox->clear();
    for (const std::string& item : items) SocBox->addItem(Text(item));
    SocBox->setCurrentText(typed);
    SocBox->setFocus();
    return exec() == QDialog::Accepted;
}

}  // namespace tvx::ui

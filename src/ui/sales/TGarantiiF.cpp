// The warranties window (ui/sales): controls and layout, the list opened from core/sales, the
// search applied as the grid's filter at every key, the printout and the export of the rows
// shown.
#include "ui/sales/TGarantiiF.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/sales/Warranties.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/printing/WarrantiesReport.h"

namespace tvx::ui {

using Search = core::WarrantySearch;

std::vector<GridColumn> TGarantiiF::Columns() {
    std::vector<GridColumn> columns;
    for (const core::WarrantyColumn& c : core::WarrantyColumns()) {
        QString title = c.title;
        // SERIA and NR stand under the common band "FACTURA"; UM has no title.
        if (title == "Seria" || title == "Nr.") title = "FACTURA\n" + title;
        if (title.isEmpty()) title = " ";
        columns.push_back({c.field, title, c.format});
    }
    return columns;
}

TGarantiiF::TGarantiiF(core::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    NameControl(this, "TGarantiiF", core::kWarrantiesTitle);
    setWindowTitle("Tarvix 2007");
    model_ = new ResultSetModel(this);
    SMDBGrid2 = MakeGrid(this, "SMDBGrid2", core::kWarrantiesGridTitle, model_);
    Cumparator = TextBox(this, Search::kBuyerField, "Cumparator", Search::kWidth, true);
    Produsul = TextBox(this, Search::kProductField, "Produsul", Search::kWidth, true);
    Export = MakeButton("Export", "Exporta in Excel", this);
    Listeaza = MakeButton(core::kWarrantiesPrintField, "&Listeaza", this);

    auto* listBox = new QGroupBox(core::kWarrantiesGridTitle, this);
    auto* list = new QVBoxLayout(listBox);
    list->addWidget(SMDBGrid2);
    auto* search = new QFormLayout;
    search->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    search->addRow("Cumparator", Cumparator);
    search->addRow("Produsul", Produsul);
    auto* searchBox = new QGroupBox("Cautare", this);
    searchBox->setLayout(search);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(searchBox);
    bottom->addStretch();
    bottom->addWidget(Listeaza, 0, Qt::AlignBottom);
    bottom->addWidget(Export, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Banner(core::kWarrantiesTitle, this));
    layout->addWidget(listBox, 1);
    layout->addLayout(bottom);
    resize(1100, 620);

    for (QLineEdit* box : {Cumparator, Produsul})
        connect(box, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
    connect(Export, &QPushButton::clicked, this, [this] { ExportClick(); });
    connect(Listeaza, &QPushButton::clicked, this, [this] { ListeazaClick(); });
    EnterEscFilter::install(this);
}

TGarantiiF::~TGarantiiF() {
    model_->setResultSet(nullptr);
}

void TGarantiiF::OpenWarranties() {
    for (QLineEdit* box : {Cumparator, Produsul}) {
        const QSignalBlocker quiet(box);
        box->clear();
    }
    std::unique_ptr<tables::ResultSet> rows;
    Guarded(
        [&] { rows = std::make_unique<tables::ResultSet>(core::QueryWarranties(session_.db())); });
    model_->setResultSet(rows.get(), rows ? Columns() : std::vector<GridColumn>{});
    rows_ = std::move(rows);
    SMDBGrid2->resizeColumnsToContents();
    Cumparator->setFocus();
    exec();
    model_->setResultSet(nullptr);
    rows_.reset();
}

void TGarantiiF::Edit1Change() {
    if (!rows_) return;
    Search search{Std(Cumparator), Std(Produsul)};
    if (auto problem = search.check()) {
        ShowProblem(*problem, this);
        return;
    }
    Guarded([&] {
        rows_->setFilter(search.filter());
        rows_->first();
    });
    model_->setResultSet(rows_.get(), Columns());
}

void TGarantiiF::ExportClick() {
    if (rows_ && gridExport_) gridExport_(*rows_, Columns(), this);
}

void TGarantiiF::ListeazaClick() {
    if (auto problem = core::PrintWarrantiesProblem(rows_ ? *rows_ : tables::ResultSet())) {
        ShowProblem(*problem, this);
        return;
    }
    PrintWarranties(*rows_, session_.profile.denumire, core::Today(), this);
}

}  // namespace tvx::ui

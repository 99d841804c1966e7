// The cash register book window (ui/purchases): controls and layout, the book built under the
// progress window when it opens, the day recomputed at every change of "La data", the manual
// entries through their dialog and the period asked before the workbook export. An engine
// error never leaves a command: it is shown in the message window.
#include "ui/purchases/TRegCasaF.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/purchases/CashEntry.h"
#include "tables/Database.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/GridModel.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Pickers.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"
#include "ui/purchases/TRegCasaChitPlataF.h"

namespace tvx::ui {

namespace {

const std::vector<GridColumn>& Columns() {
    static const std::vector<GridColumn> columns{{"DOCJUS", "Document justificativ", {}},
                                                 {"SERIANR", "Seria si numarul", {}},
                                                 {"PLATIT", "Suma platita", "0.00"},
                                                 {"INCASAT", "Suma incasata", "0.00"},
                                                 {"REPREZ", "  Reprezentand", {}}};
    return columns;
}

QLabel* Figure(QWidget* parent, const char* name, const char* label) {
    auto* figure = new QLabel(parent);
    NameControl(figure, name, label);
    figure->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    figure->setMinimumWidth(figure->fontMetrics().horizontalAdvance("000000000.00") + 12);
    return figure;
}

}  // namespace

TRegCasaF::TRegCasaF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TRegCasaF", core::kCashBookTitle);
    setWindowTitle(core::kCashBookTitle);
    entryDialog_ = new TRegCasaChitPlataF(this);
    picker_ = new TAlegeDataF(this);
    LaData = DateBox(this, "LaData", "La data");
    SoldPrecedent = new QLabel(this);
    NameControl(SoldPrecedent, "SoldPrecedent", "Sold precedent");
    SoldFinal = new QLabel(this);
    NameControl(SoldFinal, "SoldFinal", "Sold final");
    model_ = new ResultSetModel(this);
    GridCasa = MakeGrid(this, core::kCashBookGrid, "Operatiunile zilei", model_);
    TotalIncasat = Figure(this, "TotalIncasat", "Total incasat");
    TotalPlatit = Figure(this, "TotalPlatit", "Total platit");
    AdaugaPlata = MakeButton("AdaugaPlata", "Adauga Plata", this);
    AdaugaIncasare = MakeButton("AdaugaIncasare", "Adauga Incasare", this);
    StergeLinia = MakeButton("StergeLinia", "Sterge Linia", this);
    Listeaza = MakeButton("Listeaza", "&Listeaza", this);
    BuildLayout();

    connect(LaData, &QDateEdit::dateChanged, this, [this] { ShowDay(); });
    connect(AdaugaPlata, &QPushButton::clicked, this,
            [this] { AddEntry(core::CashEntryKind::Payment); });
    connect(AdaugaIncasare, &QPushButton::clicked, this,
            [this] { AddEntry(core::CashEntryKind::Collection); });
    connect(StergeLinia, &QPushButton::clicked, this, [this] { StergeLiniaClick(); });
    connect(Listeaza, &QPushButton::clicked, this, [this] { ListeazaClick(); });
    EnterEscFilter::install(this);
}

TRegCasaF::~TRegCasaF() {
    model_->setResultSet(nullptr);
}

void TRegCasaF::BuildLayout() {
    auto* day = new QHBoxLayout;
    day->addWidget(new QLabel("La data", this));
    day->addWidget(LaData);
    day->addSpacing(24);
    day->addWidget(SoldPrecedent);
    day->addStretch();
    day->addWidget(SoldFinal);

    auto* totals = new QFormLayout;
    totals->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    totals->addRow("Total incasat", TotalIncasat);
    totals->addRow("Total platit", TotalPlatit);
    auto* totalsBox = new QGroupBox("Totaluri", this);
    totalsBox->setLayout(totals);

    auto* entries = new QVBoxLayout;
    entries->addWidget(AdaugaPlata);
    entries->addWidget(AdaugaIncasare);
    entries->addWidget(StergeLinia);
    auto* entriesBox = new QGroupBox("Adaugare operatiuni", this);
    entriesBox->setLayout(entries);

    auto* side = new QVBoxLayout;
    side->addWidget(totalsBox);
    side->addWidget(entriesBox);
    side->addWidget(Listeaza);
    side->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(GridCasa, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(day);
    layout->addLayout(body, 1);
    resize(1000, 560);
}

void TRegCasaF::OpenCashBook() {
    if (!book_)
        book_ = std::make_unique<core::CashBook>(session_.db(), session_.settings(),
                                                 session_.programFolder(), core::Today());
    QWidget* over = parentWidget();
    TContor& progress = TContor::instance();
    progress.Arata(over);
    progress.setText("Pregatesc Registrul de Casa...");
    progress.setMaximum(100);
    std::optional<QString> failure;
    try {
        book_->build([&progress](int percent) { progress.setPosition(percent); });
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    progress.Distruge(over);
    if (failure) {
        ShowError(*failure);
        Guarded([&] { book_->drop(); });
        return;
    }
    {
        const QSignalBlocker quiet(LaData);
        LaData->setDate(ToQDate(book_->shownDay));
    }
    ShowDay();
    LaData->setFocus();
    exec();
    model_->setResultSet(nullptr);
    rows_.reset();
    Guarded([&] { book_->drop(); });
}

void TRegCasaF::ShowDay() {
    if (computing_) {
        computeAgain_ = true;
        return;
    }
    computing_ = true;
    do {
        computeAgain_ = false;
        Recompute();
    } while (computeAgain_);
    computing_ = false;
}

void TRegCasaF::Recompute() {
    book_->shownDay = FromQDate(LaData->date());
    core::CashDay day;
    std::unique_ptr<tables::ResultSet> rows;
    Guarded([&] {
        day = book_->showDay(book_->shownDay);
        rows = std::make_unique<tables::ResultSet>(book_->dayRows(book_->shownDay));
    });
    model_->setResultSet(rows.get(), rows ? Columns() : std::vector<GridColumn>{});
    rows_ = std::move(rows);
    GridCasa->resizeColumnsToContents();
    if (rows_ && !rows_->empty()) GridCasa->selectRow(0);
    SoldPrecedent->setText(Text("Sold precedent : " + core::CashAmountText(day.previous)));
    SoldFinal->setText(Text("Sold final : " + core::CashAmountText(day.final())));
    TotalIncasat->setText(Text(core::CashAmountText(day.collected)));
    TotalPlatit->setText(Text(core::CashAmountText(day.paid)));
}

std::optional<core::CashLine> TRegCasaF::CurrentLine() {
    if (!rows_ || rows_->empty() || rows_->eof()) return std::nullopt;
    std::optional<core::CashLine> line;
    Guarded([&] { line = book_->line(rows_->asNumber("IDCHIT").toLongLong()); });
    return line;
}

void TRegCasaF::AddEntry(core::CashEntryKind kind) {
    std::vector<std::string> documents;
    if (!Guarded([&] { documents = core::CashEntryDocuments(session_.db(), kind); })) return;
    entryDialog_->entry().open(kind, book_->shownDay, std::move(documents));
    if (!entryDialog_->AddEntry()) return;
    Guarded([&] { book_->addEntry(entryDialog_->entry()); });
    ShowDay();
}

void TRegCasaF::StergeLiniaClick() {
    const auto line = CurrentLine();
    if (auto problem = core::CashBook::checkDelete(line)) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Confirmed(core::CashBook::deleteQuestion(*line))) return;
    Guarded([&] { book_->deleteLine(line->idChit); });
    ShowDay();
}

void TRegCasaF::ListeazaClick() {
    const auto [first, last] = core::PreviousMonth(book_->shownDay);
    picker_->setTitle(core::kCashBookTitle);
    picker_->setLocationVisible(false);
    picker_->propose(first, last);
    if (!picker_->Alege({})) return;
    core::CashBookPeriod period;
    if (!Guarded([&] {
            period = book_->period(picker_->choice().from, picker_->choice().to,
                                   session_.profile.denumire);
        }))
        return;
    if (workbookExport_) workbookExport_(period, this);
}

}  // namespace tvx::ui

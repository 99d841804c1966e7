// The commands of "Facturi de iesire - Vanzari" (ui/sales): opening and closing with the
// settings the list keeps, the filters, following the current document with its receipts, the
// title-click order, and the document and receipt buttons, each asking core/sales for its
// refusal or question first and handing it the edited document after; postings run under the
// progress window. An engine error never leaves a command: it is shown in the message window
// with the engine's text.
#include "ui/sales/TFactOutF.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "core/app/Session.h"
#include "core/common/Lists.h"
#include "core/common/PeriodChoice.h"
#include "core/sales/InvoiceList.h"
#include "core/sales/InvoicePosting.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"
#include "ui/sales/TChitOutF.h"

namespace tvx::ui {

namespace {

constexpr const char* kDeleteProgress = "Pun produsele in magazie...";

std::optional<long long> CurrentId(const tables::ResultSet* rows, const char* field) {
    if (!rows || rows->eof()) return std::nullopt;
    return rows->asNumber(field).toLongLong();
}

// Runs `post` (a posting given the progress it reports to) with the progress window over the
// window the user works in, the bar following the lines. The progress window is gone before
// an engine error is shown; returns whether the posting completed.
template <typename Post>
bool WithPostingProgress(QWidget* list, Post&& post) {
    QWidget* over = QApplication::activeModalWidget();
    if (!over) over = list;
    TContor& contor = TContor::instance();
    contor.Arata(over);
    const core::PostingProgress progress = [&contor](const std::string& text, int done, int total) {
        contor.setMaximum(std::max(1, total));
        contor.setPosition(done);
        contor.setText(Text(text));
    };
    std::optional<QString> failure;
    try {
        post(progress);
    } catch (const std::exception& error) {
        failure = QString::fromStdString(error.what());
    }
    contor.Distruge(over);
    if (failure) ShowError(*failure);
    return !failure;
}

// A list's entries, replaced quietly: the caller applies the filters once afterwards.
void Fill(QComboBox* box, const std::vector<std::string>& items, int current) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items) box->addItem(Text(item));
    box->setCurrentIndex(current < box->count() ? current : 0);
}

}  // namespace

TFactOutF::TFactOutF(QWidget* parent) : QDialog(parent) {
    NameControl(this, "TFactOutF", "Facturi de iesire - Vanzari");
    setWindowTitle("Tarvix");
    BuildControls();
    BuildLayout();
    receiptDialog_ = new TChitOutF(this);
    ConnectCommands();
    EnterEscFilter::install(this);  // Enter moves on; Esc closes
}

TFactOutF::~TFactOutF() {
    CloseLists();
}

void TFactOutF::Bind(core::Session& session) {
    session_ = &session;
}

void TFactOutF::setEditor(InvoiceEditing* editor) {
    editor_ = editor;
}

void TFactOutF::setAdministrationOpener(std::function<void()> open) {
    administrationOpener_ = std::move(open);
}

void TFactOutF::ConnectCommands() {
    connect(SMDBGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!reloading_) FxAfterScroll();
    });
    connect(SMDBGrid2->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { SMDBGrid2TitleClick(section); });
    connect(SMDBGrid2, &QTableView::doubleClicked, this, [this] { EditSelClick(); });
    connect(GesBox, &QComboBox::currentIndexChanged, this, [this] { GesBoxChange(); });
    connect(CumpBox, &QComboBox::currentIndexChanged, this, [this] { GesBoxChange(); });
    connect(CuiEd, &QLineEdit::textChanged, this, [this] { GesBoxChange(); });
    connect(NeincCheck, &QCheckBox::toggled, this, [this] { GesBoxChange(); });
    connect(DetOut, &QPushButton::clicked, this, [this] { DetOutClick(); });
    connect(AddSel, &QPushButton::clicked, this, [this] { AddSelClick(); });
    connect(EditSel, &QPushButton::clicked, this, [this] { EditSelClick(); });
    connect(DelSel, &QPushButton::clicked, this, [this] { DelSelClick(); });
    connect(AddInc, &QPushButton::clicked, this, [this] { AddIncClick(); });
    connect(DelInc, &QPushButton::clicked, this, [this] { DelIncClick(); });
    connect(ListFact, &QPushButton::clicked, this, [this] { ListFactClick(false); });
    connect(ListFactChit, &QPushButton::clicked, this, [this] { ListFactClick(true); });
    connect(ListChit, &QPushButton::clicked, this, [this] { ListChitClick(); });
    connect(ComandaBut, &QPushButton::clicked, this, [this] { ComandaButClick(); });
    connect(XMLBut, &QPushButton::clicked, this, [this] { XMLButClick(); });
}

// ---- Opening and closing ----

void TFactOutF::OpenInvoiceList(bool fromPreorder) {
    if (!session_) return;
    fromPreorder_ = fromPreorder;
    if (!fromPreorder) preorder_.reset();
    core::Session& s = *session_;
    sortField_.clear();
    core::InvoiceListPrintChoices print;
    const bool filled = Guarded([&] {
        print = core::ReadPrintChoices(s.settings(), s.dataDir());
        const std::vector<std::string> locations = core::LocationChoices(s.dataDir());
        Fill(GesBox, locations, core::SavedLocationIndex(s.settings(), locations.size()));
        Fill(CumpBox, core::BuyerChoices(s.db()), 0);
    });
    if (!filled) return;
    NrEx->setText(Text(print.copies));
    {
        const QSignalBlocker quiet(CuiEd);
        CuiEd->clear();
    }
    ComandaBut->setVisible(s.profile.workshop());
    StampCheck->setEnabled(print.stampAvailable);
    StampCheck->setChecked(print.stamp);

    Reload(std::nullopt, std::nullopt);
    SMDBGrid2->resizeColumnsToContents();
    SMDBGrid2->setFocus();
    if (fromPreorder_ && preorder_) QTimer::singleShot(0, this, [this] { Timer1Timer(); });
    exec();

    // FormClose: the chosen location, then the print fields, are kept for the next visit.
    Guarded([&] {
        core::SaveLocationIndex(s.settings(), GesBox->currentIndex());
        core::SavePrintChoices(s.settings(), StampCheck->isChecked(), Std(NrEx));
    });
    CloseLists();
}

void TFactOutF::OpenFromPreorder(const core::PreorderBuyer& buyer) {
    preorder_ = buyer;
    OpenInvoiceList(true);
    preorder_.reset();
}

void TFactOutF::Timer1Timer() {
    if (isVisible()) AddSelClick();
}

void TFactOutF::ReloadProfile() {
    // Postings and deletions move FACTNR and CHITNR: the profile shows the next numbers.
    Guarded([&] { session_->loadProfile(); });
}

// ---- Lists ----

void TFactOutF::Reload(std::optional<long long> idFacto, std::optional<long long> idChit) {
    reloading_ = true;
    const bool opened = Guarded([&] {
        tables::Database& db = session_->db();
        auto documents =
            std::make_unique<tables::ResultSet>(db.query(core::InvoiceListQuery(db, sortField_)));
        documents->setFilter(FilterText());
        if (!idFacto || !documents->locate("IDFACTO", tables::Value(*idFacto))) documents->last();
        documentModel_->setResultSet(documents.get(), DocumentColumns());
        documents_ = std::move(documents);  // the old list goes once the grid lets go of it
    });
    if (!opened) CloseLists();
    reloading_ = false;
    FxAfterScroll(idChit);
}

void TFactOutF::CloseLists() {
    documentModel_->setResultSet(nullptr);
    receiptModel_->setResultSet(nullptr);
    documents_.reset();
    receipts_.reset();
}

// A posting may bring a new buyer; the one chosen stays chosen while it has documents.
void TFactOutF::FillBuyers() {
    const std::string chosen = Std(CumpBox->currentText());
    Guarded([&] {
        const std::vector<std::string> buyers = core::BuyerChoices(session_->db());
        Fill(CumpBox, buyers, std::max(0, core::SelectListItem(buyers, chosen)));
    });
}

// The filter fields as the document list's row filter; the first entry of a list chooses
// nothing.
std::string TFactOutF::FilterText() const {
    core::InvoiceListFilter filter;
    if (GesBox->currentIndex() > 0) filter.location = Std(GesBox->currentText());
    if (CumpBox->currentIndex() > 0) filter.buyer = Std(CumpBox->currentText());
    filter.unpaidOnly = NeincCheck->isChecked();
    filter.cuiPrefix = Std(CuiEd);
    return core::InvoiceListFilterText(filter);
}

void TFactOutF::GesBoxChange() {
    if (!documents_) return;
    reloading_ = true;
    Guarded([&] {
        documents_->setFilter(FilterText());
        documents_->last();
    });
    documentModel_->setResultSet(documents_.get(), DocumentColumns());
    reloading_ = false;
    FxAfterScroll();
}

void TFactOutF::FxAfterScroll(std::optional<long long> idChit) {
    const std::optional<long long> id = CurrentId(documents_.get(), "IDFACTO");
    if (documents_) {
        reloading_ = true;
        receiptModel_->setResultSet(nullptr);
        receipts_.reset();
        Guarded([&] {
            receipts_ = std::make_unique<tables::ResultSet>(
                core::QueryDocumentReceipts(session_->db(), id));
            if (!idChit || !receipts_->locate("IDCHIT", tables::Value(*idChit))) receipts_->first();
        });
        receiptModel_->setResultSet(receipts_.get(), ReceiptColumns());
        reloading_ = false;
    }
    ObsText->setText(id ? Text(documents_->asText("OBS")) : QString());
    for (QPushButton* button :
         {EditSel, DelSel, DetOut, AddInc, ListFact, ListFactChit, ComandaBut, XMLBut})
        button->setEnabled(id.has_value());
}

void TFactOutF::SMDBGrid2TitleClick(int section) {
    const std::vector<GridColumn> columns = DocumentColumns();
    if (!documents_ || documents_->empty() || section < 0 ||
        section >= static_cast<int>(columns.size()))
        return;
    const std::optional<long long> current = CurrentDocument();
    sortField_ = Std(columns[section].field);
    Reload(current, std::nullopt);
}

std::optional<long long> TFactOutF::CurrentDocument() const {
    return CurrentId(documents_.get(), "IDFACTO");
}

std::optional<core::Receipt> TFactOutF::CurrentReceipt() const {
    const std::optional<long long> id = CurrentId(receipts_.get(), "IDCHIT");
    std::optional<core::Receipt> receipt;
    if (id) Guarded([&] { receipt = core::ReadReceipt(session_->db(), *id); });
    return receipt;
}

// ---- Documents ----

void TFactOutF::AddSelClick() {
    if (!session_ || !editor_) return;
    const std::string location =
        GesBox->currentIndex() > 0 ? Std(GesBox->currentText()) : std::string();
    if (const auto refusal = core::NewInvoiceRefusal(location)) {
        ShowProblem(*refusal, this);
        return;
    }
    std::optional<long long> posted;
    const PostDocument post = [&](const core::InvoiceDocument& doc) {
        return WithPostingProgress(this, [&](const core::PostingProgress& progress) {
            posted = core::SaveNewInvoice(session_->db(), session_->settings(), doc, progress);
        });
    };
    editor_->newInvoice(location, preorder_, post);
    if (!posted) return;
    ReloadProfile();
    FillBuyers();
    Reload(posted, std::nullopt);
}

void TFactOutF::EditSelClick() {
    const std::optional<long long> id = CurrentDocument();
    if (!session_ || !editor_ || !id) return;
    core::Session& s = *session_;
    std::optional<core::Message> refusal;
    if (!Guarded([&] { refusal = core::ModifyRefusal(s.db(), *id, s.grade); })) return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    // The list shows the invoice's own location (none when it left the list), so the
    // modified invoice is listed there afterwards.
    const int location = GesBox->findText(Text(documents_->asText("GESTIUNE")));
    const bool moved = GesBox->currentIndex() != (location > 0 ? location : -1);
    {
        const QSignalBlocker quiet(GesBox);  // the list is filtered once, after the editor
        GesBox->setCurrentIndex(location > 0 ? location : -1);
    }
    bool stored = false;
    const PostDocument post = [&](const core::InvoiceDocument& doc) {
        std::optional<core::Message> refused;
        if (!WithPostingProgress(this, [&](const core::PostingProgress& progress) {
                refused =
                    core::SaveModifiedInvoice(s.db(), s.settings(), *id, doc, s.grade, progress);
            }))
            return false;
        if (refused) {
            Mesaj(*refused);
            return false;
        }
        stored = true;
        return true;
    };
    editor_->modifyInvoice(*id, post);
    if (!stored) {
        if (moved) Reload(id, std::nullopt);
        return;
    }
    ReloadProfile();
    FillBuyers();
    Reload(id, std::nullopt);
}

void TFactOutF::DetOutClick() {
    const std::optional<long long> id = CurrentDocument();
    if (editor_ && id) editor_->viewInvoice(*id);
}

void TFactOutF::DelSelClick() {
    const std::optional<long long> id = CurrentDocument();
    if (!session_ || !id) return;
    core::Session& s = *session_;
    std::optional<core::Message> refusal;
    core::Message question;
    if (!Guarded([&] {
            refusal = core::DeleteRefusal(s.db(), *id, s.grade);
            if (!refusal) question = core::DeleteQuestion(s.db(), *id);
        }))
        return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    if (!Confirmed(question)) return;
    TContor& progress = TContor::instance();
    progress.Arata(this);
    progress.setText(kDeleteProgress);
    Guarded([&] { refusal = core::DeleteInvoice(s.db(), s.settings(), *id, s.grade); });
    progress.Distruge(this);
    if (refusal) Mesaj(*refusal);
    ReloadProfile();  // the number may have come back to FACTNR
    FillBuyers();
    Reload(std::nullopt, std::nullopt);
}

// ---- Receipts ----

void TFactOutF::AddIncClick() {
    const std::optional<long long> id = CurrentDocument();
    if (!session_ || !id) return;
    core::Session& s = *session_;
    const auto selected = static_cast<size_t>(SMDBGrid2->selectionModel()->selectedRows().size());
    if (const auto stop = core::CheckAddReceipt(selected, CurrentReceipt(), s.profile)) {
        if (stop->balloon) {
            ShowProblem(*stop->balloon, this);
        } else if (stop->offersAdministration) {
            if (Mesaj(*stop->message, kButtonDa | kButtonNu) == kAnswerDa &&
                administrationOpener_) {
                administrationOpener_();
                ReloadProfile();
            }
        } else if (stop->message) {
            Mesaj(*stop->message);
        }
        return;
    }
    std::optional<core::ReceiptDocument> document;
    if (!Guarded([&] {
            document = core::ReadReceiptDocument(s.db(), *id);
            if (document) receiptEntry_.open(*document, s.profile, s.settings(), core::Today());
        }) ||
        !document)
        return;
    if (!receiptDialog_->NewReceipt(receiptEntry_)) return;
    long long idChit = 0;
    const bool added =
        Guarded([&] { idChit = core::AddReceipt(s.db(), s.settings(), *id, receiptEntry_); });
    ReloadProfile();  // CHITNR moved on
    Reload(id, added ? std::optional(idChit) : std::nullopt);
}

void TFactOutF::DelIncClick() {
    if (!session_) return;
    const std::optional<core::Receipt> receipt = CurrentReceipt();
    if (const auto stop = core::CheckDeleteReceipt(receipt)) {
        if (stop->balloon) ShowProblem(*stop->balloon, this);
        if (stop->message) Mesaj(*stop->message);
        return;
    }
    if (!Confirmed(core::DeleteReceiptQuestion(*receipt))) return;
    Guarded([&] { core::DeleteReceipt(session_->db(), session_->settings(), receipt->idChit); });
    ReloadProfile();  // the number may have come back to CHITNR
    Reload(receipt->idFacto, std::nullopt);
}

}  // namespace tvx::ui

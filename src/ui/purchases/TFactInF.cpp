// The commands of "Acte de intrare" (ui/purchases): the two lists kept on their current rows,
// the title-click ordering and the supplier search, and the document, payment and import
// buttons, each asking core::IncomingInvoices for its refusal or question first and handing
// it the edited values after. An engine error never leaves a command: it is shown in the
// message window with the engine's text.
#include "ui/purchases/TFactInF.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <filesystem>

#include "core/app/Session.h"
#include "core/common/PeriodChoice.h"
#include "core/einvoice/EInvoiceImport.h"
#include "core/purchases/DeliveryNoteImport.h"
#include "tables/ResultSet.h"
#include "ui/common/Binding.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/ShowProblem.h"
#include "ui/purchases/TChitInAddF.h"
#include "ui/purchases/TFPreluareEFactF.h"
#include "ui/purchases/TFactInAddF.h"

namespace tvx::ui {

namespace {

QString ChooseAvizFile(QWidget* parent) {
    QFileDialog chooser(parent, QString::fromUtf8(core::kDeliveryNoteDialogTitle));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setNameFilters(FileNameFilters(core::kDeliveryNoteFilter));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

QString ChooseEInvoiceFile(QWidget* parent) {
    QFileDialog chooser(parent, QString::fromUtf8(core::kEInvoiceImportDialogTitle));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setNameFilters(FileNameFilters(core::kEInvoiceImportFilter));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
    return chooser.selectedFiles().constFirst();
}

std::function<QString(QWidget*)>& EInvoiceChooser() {
    static std::function<QString(QWidget*)> choose = ChooseEInvoiceFile;
    return choose;
}

std::function<QString(QWidget*)>& AvizChooser() {
    static std::function<QString(QWidget*)> choose = ChooseAvizFile;
    return choose;
}

// IDFACT / IDCHIT of a list's current row, 0 when the list is empty.
long long CurrentId(const tables::ResultSet* rows, const char* field) {
    if (!rows || rows->eof()) return 0;
    return rows->asNumber(field).toLongLong();
}

}  // namespace

void TFactInF::setAvizChooser(std::function<QString(QWidget*)> choose) {
    AvizChooser() = choose ? std::move(choose) : ChooseAvizFile;
}

void TFactInF::setEInvoiceChooser(std::function<QString(QWidget*)> choose) {
    EInvoiceChooser() = choose ? std::move(choose) : ChooseEInvoiceFile;
}

TFactInF::TFactInF(core::Session& session, QWidget* parent) : QDialog(parent), session_(session) {
    NameControl(this, "TFactInF", "Acte de intrare");
    setWindowTitle("Acte de intrare");
    BuildControls();
    BuildLayout();
    editorDialog_ = new TFactInAddF(this);
    paymentDialog_ = new TChitInAddF(this);
    eInvoiceDialog_ = new TFPreluareEFactF(this);
    ConnectCommands();
    EnterEscFilter::install(this);  // Enter moves on; Esc closes
}

TFactInF::~TFactInF() {
    CloseLists();
}

void TFactInF::ConnectCommands() {
    connect(IstoricIntrari->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] {
                if (!loading_) DocumentMoved();
            });
    connect(AchitatCu->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!loading_) PaymentMoved();
    });
    connect(IstoricIntrari->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { TitleClick(section); });
    connect(CautaFurnizor, &QLineEdit::textChanged, this,
            [this](const QString& text) { SearchChange(text); });
    connect(AdaugaIntrare, &QPushButton::clicked, this, [this] { AdaugaIntrareClick(); });
    connect(ModificaIntrare, &QPushButton::clicked, this, [this] { ModificaIntrareClick(); });
    connect(StergeIntrare, &QPushButton::clicked, this, [this] { StergeIntrareClick(); });
    connect(PreluareAviz, &QPushButton::clicked, this, [this] { PreluareAvizClick(); });
    connect(PreluareEFactura, &QPushButton::clicked, this, [this] { PreluareEFacturaClick(); });
    connect(AdaugaPlata, &QPushButton::clicked, this, [this] { AdaugaPlataClick(); });
    connect(ModificaPlata, &QPushButton::clicked, this, [this] { ModificaPlataClick(); });
    connect(StergePlata, &QPushButton::clicked, this, [this] { StergePlataClick(); });
}

// ---- Lists ----

void TFactInF::ShowDocuments(long long idFact, long long idChit) {
    if (!invoices_) return;
    loading_ = true;
    Guarded([&] {
        auto rows = std::make_unique<tables::ResultSet>(invoices_->documents());
        if (idFact <= 0 || !rows->locate("IDFACT", idFact)) rows->last();
        documentModel_->setResultSet(rows.get(), DocumentColumns());
        documents_ = std::move(rows);  // the old list goes once the grid has let go of it
    });
    loading_ = false;
    invoices_->current = CurrentId(documents_.get(), "IDFACT");
    ShowPayments(idChit);
}

void TFactInF::ShowPayments(long long idChit) {
    loading_ = true;
    Guarded([&] {
        auto rows = std::make_unique<tables::ResultSet>(invoices_->payments());
        if (idChit <= 0 || !rows->locate("IDCHIT", idChit)) rows->first();
        paymentModel_->setResultSet(rows.get(), PaymentColumns());
        payments_ = std::move(rows);
    });
    // The kind of payment takes what the amounts leave.
    QHeaderView* header = AchitatCu->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (header->count() > 0) header->setSectionResizeMode(0, QHeaderView::Stretch);
    loading_ = false;
    invoices_->currentPayment = CurrentId(payments_.get(), "IDCHIT");
}

void TFactInF::DocumentMoved() {
    if (!invoices_) return;
    const long long id = CurrentId(documents_.get(), "IDFACT");
    if (id == invoices_->current) return;
    invoices_->current = id;
    ShowPayments(0);
}

void TFactInF::PaymentMoved() {
    if (invoices_) invoices_->currentPayment = CurrentId(payments_.get(), "IDCHIT");
}

void TFactInF::CloseLists() {
    documentModel_->setResultSet(nullptr);
    paymentModel_->setResultSet(nullptr);
    documents_.reset();
    payments_.reset();
}

void TFactInF::TitleClick(int section) {
    const std::vector<GridColumn> columns = DocumentColumns();
    if (!invoices_ || section < 0 || section >= static_cast<int>(columns.size())) return;
    if (!Guarded([&] { invoices_->sortBy(columns[section].field.toStdString()); })) return;
    ShowDocuments(invoices_->current, invoices_->currentPayment);
}

void TFactInF::SearchChange(const QString& text) {
    if (!invoices_) return;
    invoices_->searchText = text.toStdString();
    ShowDocuments(invoices_->current, invoices_->currentPayment);
}

// ---- Documents ----

void TFactInF::AdaugaIntrareClick() {
    if (!invoices_) return;
    if (!editorDialog_->NewIncomingDocument(session_.settings(), core::Today())) return;
    long long id = 0;
    if (Guarded([&] { id = invoices_->addDocument(editorDialog_->editor()); })) ShowDocuments(id);
}

void TFactInF::ModificaIntrareClick() {
    if (!invoices_) return;
    if (auto problem = invoices_->editProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Guarded([&] { invoices_->startEdit(editorDialog_->editor()); })) return;
    if (!editorDialog_->EditIncomingDocument()) return;
    Guarded([&] { invoices_->updateDocument(editorDialog_->editor()); });
    ShowDocuments(invoices_->current, invoices_->currentPayment);
}

void TFactInF::StergeIntrareClick() {
    if (!invoices_) return;
    if (auto problem = invoices_->deleteProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    std::optional<core::Message> refusal;
    core::Message question;
    if (!Guarded([&] {
            refusal = invoices_->deleteRefusal();
            if (!refusal) question = invoices_->deleteQuestion();
        }))
        return;
    if (refusal) {
        Mesaj(*refusal);
        return;
    }
    if (!Confirmed(question)) return;
    if (Guarded([&] { invoices_->removeDocument(); })) ShowDocuments(0);
}

void TFactInF::PreluareAvizClick() {
    if (!invoices_) return;
    const QString file = AvizChooser()(this);
    if (file.isEmpty()) return;
    core::DeliveryNoteImportResult result;
    const bool done = Guarded([&] {
        result = core::ImportDeliveryNote(session_.db(), session_.settings(), session_.profile,
                                          session_.locations,
                                          std::filesystem::path(file.toStdString()), core::Today());
    });
    if (!done) return;
    if (result.imported) ShowDocuments(result.posted.idFact);
    Mesaj(result.message);
}

void TFactInF::PreluareEFacturaClick() {
    if (!invoices_) return;
    const QString file = EInvoiceChooser()(this);
    if (file.isEmpty()) return;
    core::EInvoiceImport import(session_.db(), session_.settings(), session_.profile);
    std::optional<core::Message> problem;
    if (!Guarded([&] {
            problem = import.load(std::filesystem::path(file.toStdString()), core::Today());
        }))
        return;
    if (problem) {
        Mesaj(*problem);
        return;
    }
    if (!eInvoiceDialog_->Preview(import, session_.locations.names())) return;
    core::EInvoiceImportResult posted;
    if (!Guarded([&] { posted = import.post(core::Today()); })) return;
    ShowDocuments(posted.idFact);
    Mesaj(import.successMessage(posted));
}

// ---- Payments ----

void TFactInF::AdaugaPlataClick() {
    if (!invoices_) return;
    if (auto problem = invoices_->addPaymentProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    std::optional<core::Message> paid;
    if (!Guarded([&] { paid = invoices_->alreadyPaidQuestion(); })) return;
    if (paid && !Confirmed(*paid)) return;
    if (!Guarded([&] { invoices_->startNewPayment(paymentDialog_->entry()); })) return;
    if (!paymentDialog_->NewPayment()) return;
    long long idChit = 0;
    Guarded([&] { idChit = invoices_->addPayment(paymentDialog_->entry()); });
    ShowDocuments(invoices_->current, idChit);
}

void TFactInF::ModificaPlataClick() {
    if (!invoices_) return;
    if (auto problem = invoices_->editPaymentProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    if (!Guarded([&] { invoices_->startEditPayment(paymentDialog_->entry()); })) return;
    if (!paymentDialog_->EditPayment()) return;
    Guarded([&] { invoices_->updatePayment(paymentDialog_->entry()); });
    ShowDocuments(invoices_->current, invoices_->currentPayment);
}

void TFactInF::StergePlataClick() {
    if (!invoices_) return;
    if (auto problem = invoices_->deletePaymentProblem()) {
        ShowProblem(*problem, this);
        return;
    }
    core::Message question;
    if (!Guarded([&] { question = invoices_->deletePaymentQuestion(); })) return;
    if (!Confirmed(question)) return;
    Guarded([&] { invoices_->removePayment(); });
    ShowDocuments(invoices_->current);
}

// ---- Opening ----

void TFactInF::Open() {
    if (!Guarded([&] { invoices_.emplace(session_.db(), session_.settings()); })) return;
    editorDialog_->Bind(session_.db());
    {
        const QSignalBlocker quiet(CautaFurnizor);
        CautaFurnizor->clear();
    }
    invoices_->searchText.clear();
    ShowDocuments(0);
    IstoricIntrari->resizeColumnsToContents();
    IstoricIntrari->setFocus();
    exec();
    CloseLists();
    invoices_.reset();
}

}  // namespace tvx::ui

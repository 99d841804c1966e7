// The window "Acte de intrare" in core (core/purchases): the list of incoming documents
// (FactIn) with its supplier search and column ordering, the payments (ChitIn) of the current
// document, and the commands of its buttons -- the refusals and questions each button asks
// before it acts, and adding, modifying and deleting a document, each one transaction
// (document row, its payments and notes, and the counters it takes). Payments themselves are
// written by PaymentEntry; the delivery-note import is DeliveryNoteImport.
#pragma once

#include <optional>
#include <string>

#include "core/admin/AdminCommon.h"
#include "tables/ResultSet.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class IncomingInvoiceEditor;
class PaymentEntry;
struct IncomingDocument;

class IncomingInvoices {
  public:
    // Control names of the search box and the buttons that get a balloon.
    static constexpr const char* kSearchField = "CautaFurnizor";
    static constexpr const char* kEditDocumentButton = "ModificaIntrare";
    static constexpr const char* kDeleteDocumentButton = "StergeIntrare";
    static constexpr const char* kAddPaymentButton = "AdaugaPlata";
    static constexpr const char* kEditPaymentButton = "ModificaPlata";
    static constexpr const char* kDeletePaymentButton = "StergePlata";

    // `settings` should be built with `db`, as the session does.
    IncomingInvoices(tables::Database& db, Settings& settings);

    // "Cauta furnizorul" as typed (cleaned, upper-cased and cut to 40 characters when the
    // filter is made); OpenIncomingInvoices clears it.
    std::string searchText;
    // The documents' ORDER BY: empty for DATAIN, FURNIZOR, SERIANR, else one column of the
    // list (a title click). Throws EngineError for any other name and keeps the old order.
    void sortBy(const std::string& field);
    const std::string& sortField() const { return sortField_; }

    // All FactIn rows in the list's order, filtered to suppliers beginning with the search
    // text when it is not blank.
    tables::ResultSet documents() const;
    // The row filter for a search text: "(FURNIZOR='TEXT*')", or empty for blank text.
    static std::string SupplierFilter(const std::string& searchText);
    // The payments of the current document ordered by DATAC, SERIANR (none when there is no
    // current document; cash-book payments, IDFACT below 1, never).
    tables::ResultSet payments() const;

    // The rows the window stands on, set by the window as its grids move: IDFACT of the
    // current document and IDCHIT of the current payment, 0 when the grid is empty.
    long long current = 0;
    long long currentPayment = 0;

    // "Adauga Intrare" after the editor's check passed: inserts the document (a "BON
    // FISCAL" also gets its payment of the whole total and REST 0) and stores the VAT as
    // the new default, in one transaction. Returns the new IDFACT and makes it current.
    long long addDocument(const IncomingInvoiceEditor& editor);

    // "Modifica Intrare": the balloon for an empty list, else nothing.
    std::optional<FieldProblem> editProblem() const;
    // Fills the editor from the current document (EditIncomingDocument follows).
    void startEdit(IncomingInvoiceEditor& editor) const;
    // After the editor's check passed: rewrites the current document (REST moves by new
    // TOTAL - old TOTAL), renames the supplier on its payments and copies the header to its
    // goods received notes. One transaction.
    void updateDocument(const IncomingInvoiceEditor& editor);

    // "Sterge Intrare", in order: the balloon for an empty list; the refusal when a goods
    // received note is made on the document; the question (Da deletes).
    std::optional<FieldProblem> deleteProblem() const;
    std::optional<Message> deleteRefusal() const;
    Message deleteQuestion() const;
    // Deletes the current document and all its payments in one transaction; current
    // becomes 0 (the window moves to the last document). Throws EngineError and changes
    // nothing when a goods received note refers to it.
    void removeDocument();

    // "Adauga Plata", in order: the balloon for an empty list; the question when the
    // document is paid already (REST exactly 0; Da goes on); the dialog prepared.
    std::optional<FieldProblem> addPaymentProblem() const;
    std::optional<Message> alreadyPaidQuestion() const;
    void startNewPayment(PaymentEntry& entry) const;
    // After the dialog's check passed: the payment and the lower REST; it becomes current.
    long long addPayment(const PaymentEntry& entry);

    // "Modifica Plata": the balloon when there is no payment; the dialog filled; the change.
    std::optional<FieldProblem> editPaymentProblem() const;
    void startEditPayment(PaymentEntry& entry) const;
    void updatePayment(const PaymentEntry& entry);

    // "Sterge Plata": the balloon when there is no payment; the question; the deletion
    // (REST rises by the sum); currentPayment becomes 0.
    std::optional<FieldProblem> deletePaymentProblem() const;
    Message deletePaymentQuestion() const;
    void removePayment();

  private:
    IncomingDocument currentDocument() const;
    std::optional<Message> noteRefusal(long long idFact) const;
    tables::Database& db_;
    Settings& settings_;
    std::string sortField_;
};

}  // namespace tvx::core

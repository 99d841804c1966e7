// Payments of incoming documents (core/purchases): the dialog "Adaugare plata" / "Modificare
// plata" with its fields and its one check, and the statements that add, change and delete a
// ChitIn payment. Each of those is one transaction with the matching change of REST on the
// paid FactIn row (REST is moved by differences, never recomputed from the payments) and the
// IDCHIT counter it takes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
struct IncomingDocument;

// A ChitIn row.
struct IncomingPayment {
    long long idChit = 0;
    long long idFact = 0;
    std::string docJus;
    std::string seriaNr;
    tables::Date dataC;
    std::string furnizor;
    tables::Decimal platit;
    tables::Decimal inclTva;
    std::string reprez;
};

// The ChitIn row of `idChit`; nullopt when there is none.
std::optional<IncomingPayment> ReadPayment(tables::Database& db, long long idChit);

// VAT contained in a payment of a document with VAT percentage `rate`:
// paid x rate / (100 + rate), four decimals, halves away from zero.
tables::Decimal VatIncluded(const tables::Decimal& paid, int rate);

class PaymentEntry {
  public:
    static constexpr const char* kKindField = "SeAchitaCu";
    static constexpr const char* kNumberField = "SeriaNr";
    static constexpr const char* kDateField = "DinData";
    static constexpr const char* kSumField = "SumaDe";
    static constexpr const char* kAddTitle = "Adaugare plata";
    static constexpr const char* kEditTitle = "Modificare plata";

    // The choices of "Se achita cu" (free text is allowed as well).
    static const std::vector<std::string>& Kinds();

    // The document shown above the fields.
    std::string supplier;
    std::string documentText;  // NUMEFACT + " nr." + SERIANR + " / " + DATAIN
    std::string totalText;     // "Total valoare", e.g. "119.00 lei."
    std::string restText;      // "Rest de plata"

    // Fields.
    std::string docJus = "CHITANTA";  // "Se achita cu"
    std::string seriaNr;              // "Seria si numarul"
    tables::Date dataC;               // "din data"
    std::string suma;                 // "Suma de", as typed

    bool adding() const { return adding_; }
    const char* title() const { return adding_ ? kAddTitle : kEditTitle; }

    // "Adauga Plata": kind CHITANTA, no number, the document's date and its REST as sum.
    void startNew(const IncomingDocument& document);
    // "Modifica Plata": the document and the stored payment.
    void startEdit(const IncomingDocument& document, const IncomingPayment& payment);

    // "&Memoreaza": cleans the number and the kind; a sum that is 0, not a number or more
    // than seven integer digits is refused with "Suma incorecta!" at the sum. A negative sum
    // (a refund, proposed when REST is below 0) is taken.
    std::optional<FieldProblem> check();
    // The sum as a number, valid after check() passed.
    tables::Decimal amount() const;

  private:
    void showDocument(const IncomingDocument& document);
    bool adding_ = true;
};

// Inserts the payment of `entry` (checked) against document `idFact` and lowers its REST by
// the sum, in one transaction with the IDCHIT counter. Returns the new IDCHIT. Throws
// EngineError when the document does not exist.
long long AddPayment(tables::Database& db, Settings& settings, long long idFact,
                     const PaymentEntry& entry);
// Rewrites payment `idChit` from `entry` (checked): number, date, sum, VAT included, kind;
// REST of its document moves by old sum - new sum. One transaction.
void UpdatePayment(tables::Database& db, long long idChit, const PaymentEntry& entry);
// Deletes payment `idChit` and gives its sum back to REST of its document. One transaction;
// a payment that no longer exists changes nothing.
void RemovePayment(tables::Database& db, long long idChit);

}  // namespace tvx::core

// The manual cash entry dialog "Adaugare plata" / "Adaugare incasare" (core/purchases): a
// payment or a collection typed directly into the cash register book (a deposit, a payroll),
// with its fields, defaults and checks. The cash book stores a checked entry (CashBook).
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

// A payment is a ChitIn row, a collection a ChitOut row, both without a document (-1).
enum class CashEntryKind { Payment, Collection };

class CashEntry {
  public:
    static constexpr const char* kDocumentField = "DocJustif";
    static constexpr const char* kSeriesField = "Seria";
    static constexpr const char* kNumberField = "Numarul";
    static constexpr const char* kDateField = "DinData";
    static constexpr const char* kSumField = "SumaDe";
    static constexpr const char* kTextField = "Reprezentand";
    // Field widths: what the boxes take and what check() enforces.
    static constexpr int kDocumentWidth = 20;
    static constexpr int kSeriesWidth = 6;
    static constexpr int kNumberDigits = 10;
    static constexpr int kSumDigits = 4;
    static constexpr int kSumDecimals = 2;
    static constexpr int kTextWidth = 80;

    CashEntryKind kind = CashEntryKind::Payment;
    std::vector<std::string> documents;  // "Document justif." list
    std::string document;                // DOCJUS
    std::string series;                  // "Seria"
    std::string number = "0";            // "Numarul", as typed
    tables::Date date;                   // "din data"
    std::string sum = "0";               // "Suma de", as typed
    std::string text;                    // "Reprezentand"

    // "Adaugare plata" or "Adaugare incasare".
    const char* title() const;
    // A new entry of `kind` on `day`: the list `documents` (alphabetical) with its first value
    // chosen (empty for an empty list), no series, number and sum "0", no text.
    void open(CashEntryKind entryKind, tables::Date day, std::vector<std::string> documentList);
    // "Adauga": cleans the texts (CleanText, upper case for the document and series), then
    // refuses in order: a document, series or text wider than its field, a number that is not
    // a whole number of at most ten digits ("Numar incorect!"), a date the tables cannot hold
    // ("Data incorecta!"), a sum that is not a number, negative, zero, or wider than four
    // digits and two decimals ("Suma incorecta!"), an empty text ("Nu ati scris ce
    // reprezinta!"). Each at its field.
    std::optional<FieldProblem> check();

    // Valid after check() passed.
    tables::Decimal amount() const;
    long long numberValue() const;
    // "Seria" + " " + "Numarul", as the cash book and ChitIn keep it.
    std::string seriesAndNumber() const;
};

// The distinct DOCJUS already used in ChitIn (payments) or ChitOut (collections), in
// alphabetical order. Engine errors propagate.
std::vector<std::string> CashEntryDocuments(tables::Database& db, CashEntryKind kind);

}  // namespace tvx::core

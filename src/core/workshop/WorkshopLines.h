// Labour lines of a car-service invoice (core/workshop): the time norms window is the chooser
// of the operations billed. Before it opens, each operation already on the document is
// pre-set with how many times it is billed; when the user confirms, every service line of
// the document is replaced by one line per operation billed: UM "ORE", TIMP x CANT hours at
// LEIORA lei per hour (without VAT), the VAT computed on the net value, the section and car
// type as remark and a warranty of three months.
#pragma once

#include <filesystem>
#include <functional>

#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class InvoiceEditor;

// The amounts of one labour line.
struct LabourAmounts {
    tables::Decimal hours;  // CANT: TIMP x CANT, to cents
    tables::Decimal value;  // VALOUT: TIMP x CANT x LEIORA, to cents
    tables::Decimal vat;    // VALTVA: VALOUT x rate / 100, to cents
};

// The amounts of an operation of `hours` standard hours billed `times` times at `rate` lei per
// hour, with VAT rate `vatRate` percent. Halves are rounded away from zero.
LabourAmounts LabourLineAmounts(const tables::Decimal& hours, const tables::Decimal& times,
                                const tables::Decimal& rate, const tables::Decimal& vatRate);

// The remark of a labour line: SECTIA + " >> " + TIPAUTO.
std::string LabourRemark(const std::string& section, const std::string& carType);

// Every CANT of Timp set to 0, then, for each operation whose name and remark match service
// lines of the work table `linesTable`, to the greatest line CANT / TIMP (an operation of
// standard time 0 found on the document counts once). One transaction.
void PresetTimeQuantities(tables::Database& db, const std::filesystem::path& linesTable);

// Every service line of `linesTable` deleted and the rest numbered 1..N in their order, then
// one labour line appended per operation of Timp with CANT above 0, in the order SECTIA,
// TIPAUTO, DENUMIRE, warranty until `today` plus three months. One transaction: an engine
// error leaves the lines as they were. Returns the number of labour lines.
int ReplaceWorkshopLines(tables::Database& db, const std::filesystem::path& linesTable,
                         const tables::Decimal& vatRate, tables::Date today);

// AddWorkshopLines: pre-sets the quantities, lets `openTimeNorms` (the time norms window)
// choose, and when it confirms replaces the document's service lines and recomputes its
// totals. Returns whether the lines were replaced. Engine errors propagate.
bool AddWorkshopLines(InvoiceEditor& editor, const std::function<bool()>& openTimeNorms,
                      tables::Date today);

}  // namespace tvx::core

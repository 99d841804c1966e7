// "Preluare Aviz" (core/purchases): a delivery-note file ".avz" written by another
// installation becomes an incoming document, a goods received note and the stock entries of
// its products. The file is read and checked whole first -- every line a reader expects is
// there, names are not empty, VAT, prices and quantities are numbers in their ranges and
// every amount fits its field -- and only then is anything written, as one transaction with
// all the counters it takes; a bad file is refused with a message naming the line and leaves
// tables and counters as they were.
//
// File layout (Windows-1250 text as the export writes it, UTF-8 read as well; one value per
// line, lines ended by CR LF or LF): series and number; the sender's name; the VAT
// percentage; then per product four lines: name, unit, unit price without VAT, quantity.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class CompanyProfile;
class Locations;

// The open dialog of "Preluare Aviz".
constexpr const char* kDeliveryNoteDialogTitle = "Alegeti Fisierul cu Avizul";
constexpr const char* kDeliveryNoteFilter = "Aviz insotire marfa|*.avz";
constexpr const char* kDeliveryNoteTitle = "Preluare Aviz";

struct DeliveryNoteProduct {
    int line = 0;  // the file line of its name
    std::string name;
    std::string unit;
    tables::Decimal price;  // unit price without VAT
    tables::Decimal quantity;
};

struct DeliveryNote {
    std::string seriaNr;
    std::string sender;
    tables::Decimal vatPercent;
    std::vector<DeliveryNoteProduct> products;
};

// Reads the text of a delivery-note file into `note`: UTF-8 when it opens with the byte-order
// mark or is well-formed UTF-8 with some non-ASCII character, else Windows-1250. Texts are
// cleaned (CleanText) and cut to their fields' widths; numbers take a decimal point or
// comma. Blank lines at the end are ignored. The VAT percentage must lie within 0..100,
// prices and quantities must not be negative, a quantity (kept in cents) not 0, and every
// amount a line stores -- computed as for a company that is a VAT payer or not, `vatPayer` --
// and the note's totals must fit their fields. Returns the refusal naming the file and the
// line when the text is not such a delivery note; `note` is then unspecified.
std::optional<Message> ParseDeliveryNote(std::string_view bytes, const std::string& fileName,
                                         bool vatPayer, DeliveryNote& note);
// The same from a file; a file that cannot be read is refused as well.
std::optional<Message> ReadDeliveryNote(const std::filesystem::path& file, bool vatPayer,
                                        DeliveryNote& note);

struct DeliveryNotePosted {
    long long idFact = 0;
    long long idNir = 0;
    long long nrNir = 0;
};

// Writes a checked delivery note as one transaction: the FactIn row (kind "AVIZ
// INSOT.MARFA", zero totals, the company's fiscal code, dated `today`), the CapNIR note
// numbered from NRNIR, and per product its ProdNIR line in `location` (category "MARFA"),
// its lot (found or created at the sale price as both prices) and its "INTRARE" movement;
// the note's totals are recomputed. An engine error rolls everything back and propagates.
DeliveryNotePosted PostDeliveryNote(tables::Database& db, Settings& settings,
                                    const CompanyProfile& company, const std::string& location,
                                    const DeliveryNote& note, tables::Date today);

struct DeliveryNoteImportResult {
    bool imported = false;
    Message message;  // the success notice, or the refusal
    DeliveryNotePosted posted;
};

// The whole import of a chosen file: refused without a stock location (the user is sent to
// "Setari"), then the file is read and checked, then posted into the first location of
// the list. Engine errors propagate after the rollback.
DeliveryNoteImportResult ImportDeliveryNote(tables::Database& db, Settings& settings,
                                            const CompanyProfile& company,
                                            const Locations& locations,
                                            const std::filesystem::path& file, tables::Date today);

}  // namespace tvx::core

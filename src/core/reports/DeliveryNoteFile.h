// The data of a delivery note (core/reports): the ".avz" text file that carries a note to
// another installation, and the work table Aviz.dbf of the program folder printed as the
// note's lines. A note is the set of Fise movements sharing one document name, number and
// date, each read with its stock card (CapFise).
#pragma once

#include <filesystem>
#include <string>

#include "tables/Date.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class CompanyProfile;
class Settings;

// Which movements make up the note.
struct DeliveryNoteKey {
    std::string docJus;
    long long nrDoc = 0;
    tables::Date dinData;
};

// The file text (CR LF line ends, Windows-1250 bytes): the company's delivery-note series
// followed by the number; the company name; the VAT percentage for a VAT payer, else "0";
// then per line PRODUS, UM, the unit price without VAT (PRETOUT divided by 1 + rate/100 for
// a VAT payer, kept to four decimals) and CANTOUT. Numbers are plain, without trailing zeros.
std::string DeliveryNoteText(tables::Database& db, const CompanyProfile& company, int vatRate,
                             const DeliveryNoteKey& note);

// Writes DeliveryNoteText to `file`, replacing an existing file through a temporary file and
// a rename; on failure the old file stays and tables::EngineError names the file.
void ExportDeliveryNote(tables::Database& db, const CompanyProfile& company, int vatRate,
                        const std::filesystem::path& file, const DeliveryNoteKey& note);

// Aviz.dbf in the program folder of `db`.
std::filesystem::path DeliveryNoteLinesFile(const tables::Database& db);

// Recreates Aviz.dbf with the note's lines in stored order: CANTOUT, and PRETIN, PRETOUT,
// PRODUS, UM of their cards. For a VAT payer PRETIN becomes the price without VAT,
// PRETIN / (1 + rate/100) rounded to cents. Returns the number of lines.
int BuildDeliveryNoteLines(tables::Database& db, const CompanyProfile& company, int vatRate,
                           const DeliveryNoteKey& note);

// The label texts of the printed note: its series, number and date, and the supplier box
// from the company profile.
struct DeliveryNoteLabels {
    std::string series;  // the company's delivery-note series
    std::string number;
    std::string date;  // dd.MM.yyyy
    std::string name, regCom, fiscalCode;
    std::string address;  // locality + " " + address, trimmed
    std::string county;
    std::string bank;  // the bank of `account`, empty when none is known
    std::string account;
    std::string capital;
    std::string operatorName;  // setting FACTURA/OPERATOR
};

// The labels of the note; `account` is the company account printed on it.
DeliveryNoteLabels BindDeliveryNoteLabels(const CompanyProfile& company, const Settings& settings,
                                          const std::string& account, const DeliveryNoteKey& note);

// Deletes Aviz.dbf; an absent file is no error.
void DeleteDeliveryNoteLines(tables::Database& db);

}  // namespace tvx::core

// Defaults, reactions and checks of the incoming invoice editor.
#include "core/purchases/IncomingInvoiceEditor.h"

#include <algorithm>

#include "core/common/Checks.h"
#include "core/common/Lists.h"
#include "core/common/Rounding.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "core/purchases/IncomingDocument.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;

namespace {

std::string BankOf(const std::string& account) {
    std::string iban = account;
    std::string bank;
    CheckIBAN(iban, bank);
    return bank;
}

// 1 + rate / 100, the factor between the two totals.
Decimal VatFactor(int rate) {
    return Decimal(1) + Decimal(rate) / Decimal(100);
}

}  // namespace

IncomingInvoiceEditor::IncomingInvoiceEditor(tables::Database& db) : db_(db) {}

void IncomingInvoiceEditor::readLists() {
    const std::string table = FactInTable(db_);
    history_ = db_.query("SELECT * FROM " + table + " ORDER BY FURNIZOR, DATAIN DESC");
    const std::string file = TableFile(db_, "FactIn").string();
    suppliers_ = FillDistinct(db_, file, "", "FURNIZOR");
    kinds_ = FillDistinct(db_, file, "", "NUMEFACT");
    for (const char* kind : {kInvoiceKind, kFiscalReceipt})
        if (std::find(kinds_.begin(), kinds_.end(), kind) == kinds_.end()) kinds_.push_back(kind);
}

void IncomingInvoiceEditor::startNew(const Settings& settings, tables::Date today) {
    readLists();
    adding_ = true;
    furnizor.clear();
    numeFact.clear();
    seriaNr.clear();
    dataIn = today;
    dataScad = today;
    cont.clear();
    banca.clear();
    cui.clear();
    tvaProc = std::to_string(settings.readVatRate());
    totalFaraTva = "0";
    totalCuTva = "0";
}

void IncomingInvoiceEditor::startEdit(const IncomingDocument& document) {
    readLists();
    adding_ = false;
    furnizor = document.furnizor;
    numeFact = document.numeFact;
    seriaNr = document.seriaNr;
    dataIn = document.dataIn;
    dataScad = document.dataScad;
    cont = document.cont;
    accountChanged();
    cui = document.cui;
    tvaProc = std::to_string(document.tvaProc);
    totalFaraTva = document.valoare.toString();
    totalCuTva = document.total.toString();
}

void IncomingInvoiceEditor::supplierChosen() {
    if (std::find(suppliers_.begin(), suppliers_.end(), furnizor) == suppliers_.end()) return;
    history_.setFilter("");
    if (!history_.locate("FURNIZOR", furnizor)) return;
    cont = history_.asText("CONT");
    tvaProc = std::to_string(history_.asNumber("TVAPROC").toLongLong());
    cui = history_.asText("CUI");
    accountChanged();
}

void IncomingInvoiceEditor::accountChanged() {
    banca = BankOf(cont);
}

void IncomingInvoiceEditor::dateChanged() {
    dataScad = dataIn;
}

void IncomingInvoiceEditor::netTotalChanged() {
    if (!autoCalc) return;
    totalCuTva = RoundHalfAway(TypedNumber(totalFaraTva) * VatFactor(vatRate()), 4).toString();
}

void IncomingInvoiceEditor::grossTotalChanged() {
    if (!autoCalc) return;
    const Decimal cents = RoundHalfAway(TypedNumber(totalCuTva) / VatFactor(vatRate()) * 100);
    totalFaraTva = (cents / Decimal(100)).rescaled(2).toString();
}

void IncomingInvoiceEditor::vatChanged() {
    grossTotalChanged();
}

int IncomingInvoiceEditor::vatRate() const {
    // The edit takes three digits and no sign; anything else is kept within the field
    // DECIMAL(6,0) and away from a zero VAT factor.
    const long long rate = TypedNumber(tvaProc).toLongLong();
    return static_cast<int>(std::clamp(rate, 0LL, 999999LL));
}

Decimal IncomingInvoiceEditor::netTotal() const {
    return TypedNumber(totalFaraTva);
}

Decimal IncomingInvoiceEditor::grossTotal() const {
    return TypedNumber(totalCuTva);
}

std::optional<FieldProblem> IncomingInvoiceEditor::check() {
    if (auto problem = RateProblem(tvaProc, VatRateRange()))
        return FieldProblem{kVatField, *problem};
    tvaProc = std::to_string(vatRate());

    furnizor = tables::toUpperAscii(CleanText(furnizor));
    if (furnizor.empty()) return FieldProblem{kSupplierField, "Lipseste Furnizorul!"};

    numeFact = tables::toUpperAscii(CleanText(numeFact));
    if (numeFact.empty()) return FieldProblem{kKindField, "Lipseste Documentul justificativ!"};

    cont = Trimmed(cont);
    if (!cont.empty()) {
        std::string iban = cont;
        std::string bank;
        if (!CheckIBAN(iban, bank)) return FieldProblem{kAccountField, "CONT incorect!"};
        // Stored without the blanks of typed groups, so that it fits its 24 characters.
        cont = iban;
        banca = bank;
    } else {
        banca.clear();
    }

    seriaNr = tables::toUpperAscii(CleanText(seriaNr));
    if (seriaNr.empty())
        return FieldProblem{kNumberField, "Lipseste Seria si Numarul documentului!"};

    if (dataScad < dataIn)
        return FieldProblem{kDueDateField, "Data scadenta este inaintea facturarii!"};

    cui = tables::toUpperAscii(RemoveSpaces(cui));
    if (cui.empty()) return FieldProblem{kFiscalCodeField, "Lipseste Codul Fiscal!"};
    if (cui.size() == 13 && !CheckCNP(cui)) return FieldProblem{kFiscalCodeField, "CNP incorect!"};
    std::string code = cui;
    if (cui.size() <= 12 && !CheckCUI(code))
        return FieldProblem{kFiscalCodeField, "Cod Fiscal incorect!"};

    totalFaraTva = netTotal().toPlainString();
    totalCuTva = grossTotal().toPlainString();
    if (grossTotal() > Decimal(0) && netTotal().isZero())
        totalFaraTva = RoundHalfAway(grossTotal() / VatFactor(vatRate()), 4).toString();
    return std::nullopt;
}

}  // namespace tvx::core

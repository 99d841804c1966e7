// Preparing, checking and posting a received e-invoice as an incoming document with its
// goods received note.
#include "core/einvoice/EInvoiceImport.h"

#include <algorithm>
#include <map>
#include <set>

#include "core/admin/CompanyProfile.h"
#include "core/common/Checks.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "core/common/UnitChoice.h"
#include "core/purchases/IncomingDocument.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLine.h"
#include "core/stock/NirLineForm.h"
#include "core/stock/NirLinePrices.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Utf8.h"
#include "tables/Value.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kGoods = "MARFA";
constexpr const char* kDiscount = "DISCOUNT";
constexpr const char* kServices = "SERVICII";
constexpr const char* kLei = "RON";

std::size_t Width(const char* table, const char* field) {
    return static_cast<std::size_t>(fieldSpec(table, field).width);
}

bool Fits(const char* table, const char* field, const Decimal& value) {
    return fitsField(fieldSpec(table, field), value);
}

// The characters of UTF-8 text that the tables' code page cannot hold (each once).
std::string Unstorable(const std::string& text) {
    std::string lost;
    std::set<char32_t> seen;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t from = pos;
        char32_t cp = 0;
        if (!tables::decodeUtf8(text, pos, cp)) {
            pos = from + 1;
            continue;
        }
        const std::string one = text.substr(from, pos - from);
        if (cp != '?' && tables::dbf::utf8ToCp1250(one) == "?" && seen.insert(cp).second)
            lost += (lost.empty() ? "" : " ") + one;
    }
    return lost;
}

// Decimals beyond what the value needs (trailing zeros dropped).
bool MoreThanCents(const Decimal& x) {
    return x.normalized().scale() > 2;
}

std::string Amount(const Decimal& x) {
    return RoundCents(x).toString();
}

std::string Rate(const Decimal& x) {
    return x.toPlainString();
}

// The fiscal code as stored: no blanks, upper case.
std::string FiscalCode(const std::string& text) {
    return tables::toUpperAscii(RemoveSpaces(text));
}

// The same code with and without the "RO" of a VAT payer.
std::vector<std::string> CodeVariants(const std::string& cui) {
    const std::string bare = cui.starts_with("RO") ? cui.substr(2) : cui;
    return {cui, bare, "RO" + bare};
}

// P of a line: the file's price when it gives the line's value back; otherwise (allowances
// on the line, a rounded price) the value per unit.
Decimal UnitPrice(const ImportedLine& line) {
    if (!line.price.isZero() && RoundCents(line.quantity * line.price) == RoundCents(line.value))
        return line.price;
    return Divide4(line.value, line.quantity);
}

}  // namespace

EInvoiceImport::EInvoiceImport(tables::Database& db, Settings& settings,
                               const CompanyProfile& company)
    : db_(db), settings_(settings), company_(company) {}

std::optional<Message> EInvoiceImport::load(const std::filesystem::path& file, tables::Date today) {
    ReceivedEInvoice document;
    if (auto problem = ReadReceivedEInvoice(file, document)) return problem;
    prepare(document, today);
    return std::nullopt;
}

void EInvoiceImport::note(ImportNoteScope scope, const std::string& text) {
    fixed_.push_back({scope, text});
}

// A text from the file as a field will hold it: characters the code page lacks and a cut
// to the field's width are both said.
void EInvoiceImport::noteText(const std::string& where, const std::string& text, std::size_t width,
                              std::string& stored) {
    if (const std::string lost = Unstorable(text); !lost.empty())
        note(ImportNoteScope::Notice, where + ": caracterele " + lost +
                                          " nu exista in setul de caractere al tabelelor si se "
                                          "scriu ca \"?\".");
    stored = FirstChars(text, width);
    if (stored != text)
        note(ImportNoteScope::Notice, where + " are mai mult de " + std::to_string(width) +
                                          " caractere; se pastreaza \"" + stored + "\".");
}

void EInvoiceImport::prepare(const ReceivedEInvoice& document, tables::Date today) {
    document_ = document;
    today_ = today;
    fixed_.clear();
    lines.clear();
    makeNir = true;
    prepareHeader();
    prepareLines();
    checkTotals();
}

void EInvoiceImport::prepareHeader() {
    const ReceivedEInvoice& d = document_;
    numeFact = kInvoiceKind;
    if (d.currency != kLei)
        note(ImportNoteScope::BlocksAll,
             "Factura este in moneda " + d.currency +
                 "; documentele de intrare se inregistreaza numai in lei (RON).");
    noteText("Numarul facturii", UpperText(CleanText(d.number)), Width("FactIn", "SERIANR"),
             seriaNr);
    dataIn = d.issueDate;
    dataScad = d.dueDate.value_or(d.issueDate);
    if (dataScad < dataIn) {
        note(ImportNoteScope::Notice, "Data scadentei " + dataScad.toString() +
                                          " este inaintea facturarii; se inregistreaza " +
                                          dataIn.toString() + ".");
        dataScad = dataIn;
    }

    cui = FiscalCode(d.supplierFiscalCode);
    if (cui.empty())
        note(ImportNoteScope::BlocksAll, "Factura nu contine codul fiscal al furnizorului!");
    else if (cui.size() > Width("FactIn", "CUI"))
        note(ImportNoteScope::BlocksAll,
             "Codul fiscal al furnizorului " + cui + " are mai mult de " +
                 std::to_string(Width("FactIn", "CUI")) + " caractere!");

    // A supplier known by its fiscal code keeps the name it has in the list.
    std::string fileName;
    noteText("Numele furnizorului", UpperText(CleanText(d.supplierName)),
             Width("FactIn", "FURNIZOR"), fileName);
    furnizor = fileName;
    if (!cui.empty()) {
        const auto codes = CodeVariants(cui);
        tables::ResultSet known =
            db_.query("SELECT FURNIZOR FROM " + FactInTable(db_) +
                          " WHERE CUI=:a OR CUI=:b OR CUI=:c ORDER BY DATAIN DESC",
                      {{"a", codes[0]}, {"b", codes[1]}, {"c", codes[2]}});
        if (!known.empty() && !known.asText("FURNIZOR").empty()) {
            furnizor = known.asText("FURNIZOR");
            if (furnizor != fileName)
                note(ImportNoteScope::Notice, "Furnizorul cu codul fiscal " + cui +
                                                  " este deja in lista ca " + furnizor +
                                                  "; documentul se inregistreaza pe acest nume.");
        }
        tables::ResultSet same = db_.query(
            "SELECT IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR FROM " + FactInTable(db_) +
                " WHERE SERIANR=:nr AND DATAIN=:data AND (CUI=:a OR CUI=:b OR CUI=:c)",
            {{"nr", seriaNr}, {"data", dataIn}, {"a", codes[0]}, {"b", codes[1]}, {"c", codes[2]}});
        if (!same.empty())
            note(ImportNoteScope::BlocksAll,
                 "Factura " + seriaNr + " din " + dataIn.toString() + " a furnizorului " + cui +
                     " este deja inregistrata: " + same.asText("NUMEFACT") + " " +
                     same.asText("SERIANR") + " din " + same.asDate("DATAIN")->toString() +
                     ", furnizor " + same.asText("FURNIZOR") + "!");
    }

    // The account and its bank: the bank named in the file, else the one of the IBAN.
    cont.clear();
    banca.clear();
    std::string iban = d.supplierIban;
    std::string bankOfIban;
    if (!iban.empty()) {
        if (!CheckIBAN(iban, bankOfIban))
            note(ImportNoteScope::Notice, "Contul furnizorului " + d.supplierIban +
                                              " nu este un IBAN corect; nu se inregistreaza.");
        else if (iban.size() > Width("FactIn", "CONT"))
            note(ImportNoteScope::Notice, "Contul furnizorului " + iban + " are mai mult de " +
                                              std::to_string(Width("FactIn", "CONT")) +
                                              " caractere; nu se inregistreaza.");
        else
            cont = iban;
    }
    if (!cont.empty() || !d.supplierBank.empty())
        noteText("Banca furnizorului",
                 CleanText(d.supplierBank.empty() ? bankOfIban : d.supplierBank),
                 Width("FactIn", "BANCA"), banca);

    // A credit note takes back: its amounts are recorded negative (unless written so).
    const Decimal sign = d.creditNote && !d.taxInclusive.isNegative() ? Decimal(-1) : Decimal(1);
    valoare = RoundCents(sign * d.taxExclusive);
    total = RoundCents(sign * d.taxInclusive);
    rest = RoundCents(sign * d.payable);
    if (MoreThanCents(d.taxExclusive) || MoreThanCents(d.taxInclusive) || MoreThanCents(d.payable))
        note(ImportNoteScope::Notice,
             "Totalurile facturii au mai mult de doua zecimale; se "
             "inregistreaza rotunjite la bani.");
    if (!Fits("FactIn", "VALOARE", valoare) || !Fits("FactIn", "TOTAL", total) ||
        !Fits("FactIn", "REST", rest))
        note(ImportNoteScope::BlocksAll,
             "Totalul facturii " + total.toString() +
                 " este prea mare pentru tabela documentelor de intrare!");
    if (d.creditNote)
        note(ImportNoteScope::Notice,
             "Documentul este o factura de stornare (credit): "
             "valorile si cantitatile se inregistreaza cu minus.");

    // The VAT percentage of the document: the rate of the largest taxable base.
    std::map<Decimal, Decimal> bases;
    for (const ReceivedVatBreakdown& b : d.vat) {
        const Decimal base = b.taxable.isNegative() ? -b.taxable : b.taxable;
        bases[b.rate.value_or(Decimal(0))] += base;
    }
    if (bases.empty())
        for (const ReceivedLine& l : d.lines)
            bases[l.vatRate.value_or(Decimal(0))] +=
                l.lineAmount.isNegative() ? -l.lineAmount : l.lineAmount;
    Decimal rate(0), largest(-1);
    for (const auto& [r, base] : bases)
        if (base > largest) {
            largest = base;
            rate = r;
        }
    tvaProc = static_cast<int>(rate.rescaled(0, tables::Rounding::Truncate).toLongLong());
    if (bases.size() > 1) {
        std::string list;
        for (const auto& entry : bases)
            list += (list.empty() ? "" : ", ") + Rate(entry.first) + "%";
        note(ImportNoteScope::Notice, "Factura are mai multe cote TVA (" + list +
                                          "); documentul si N.I.R.-ul se inregistreaza cu cota " +
                                          std::to_string(tvaProc) +
                                          "%, iar fiecare linie cu cota ei.");
    }
    if (Decimal(tvaProc) != rate)
        note(ImportNoteScope::Notice, "Cota TVA " + Rate(rate) + "% se inregistreaza ca " +
                                          std::to_string(tvaProc) + "% (numar intreg).");
}

void EInvoiceImport::prepareLines() {
    const ReceivedEInvoice& d = document_;
    const Decimal sign = d.creditNote && !d.taxInclusive.isNegative() ? Decimal(-1) : Decimal(1);
    // The units of settings section UMS by their code; the first key of a code wins.
    std::map<std::string, std::string> unitOfCode;
    for (const auto& [key, value] : settings_.readKeys("UMS")) {
        if (tables::toUpperAscii(key).ends_with("AUTO")) continue;
        unitOfCode.emplace(UnitChoice::codeOf(value), tables::toUpperAscii(key));
    }
    const Decimal markup =
        Decimal::parse(settings_.readSetting("VAR", "ADAOSP")).value_or(Decimal(0));
    bool reverseCharge = false;

    auto add = [&](ImportedLine line) {
        line.inNir = !line.quantity.isZero();
        if (line.inNir) {
            line.price = UnitPrice(line);
            line.markup = markup;
            NirLineForm form = lineForm(line, today_);
            line.markup = form.a;
            line.sale = form.s;
        }
        lines.push_back(std::move(line));
    };

    for (const ReceivedLine& l : d.lines) {
        ImportedLine line;
        line.source = "linia " + l.id;
        const std::string where = "Linia " + l.id;
        noteText(where + ", denumirea", UpperText(CleanText(l.name)), Width("ProdNIR", "PRODUS"),
                 line.product);
        line.category = kGoods;
        line.unitCode = l.unitCode;
        if (auto found = unitOfCode.find(l.unitCode); found != unitOfCode.end()) {
            line.unit = FirstChars(found->second, Width("ProdNIR", "UM"));
            line.unitFromCode = true;
        }
        line.quantity = RoundCents(sign * l.quantity);
        if (line.quantity != sign * l.quantity)
            note(ImportNoteScope::Notice, where + ": cantitatea " + l.quantity.toPlainString() +
                                              " se inregistreaza cu doua zecimale (" +
                                              line.quantity.toString() + ").");
        line.value = sign * l.lineAmount;
        line.price = Carry4(Divide4(l.price, l.baseQuantity));
        line.vatPercent = l.vatRate.value_or(Decimal(0));
        reverseCharge = reverseCharge || l.vatCategory == "AE";
        if (line.quantity.isZero())
            note(ImportNoteScope::Notice, where + " are cantitatea 0 si nu intra in N.I.R.");
        else if (const Decimal p = UnitPrice(line); MoreThanCents(p))
            note(ImportNoteScope::Notice,
                 where + ": pretul unitar " + p.toPlainString() +
                     " se pastreaza in N.I.R. cu doua zecimale; valoarea liniei ramane " +
                     Amount(line.value) + ".");
        add(std::move(line));
    }
    int allowance = 0, charge = 0;
    for (const ReceivedAllowance& a : d.allowances) {
        ImportedLine line;
        const int n = a.charge ? ++charge : ++allowance;
        line.source = std::string(a.charge ? "taxa " : "reducerea ") + std::to_string(n);
        const std::string name = a.reason.empty() ? (a.charge ? "TAXA" : "DISCOUNT") : a.reason;
        noteText("Reducerea sau taxa " + std::to_string(n), UpperText(CleanText(name)),
                 Width("ProdNIR", "PRODUS"), line.product);
        line.category = a.charge ? kServices : kDiscount;
        line.unit = "BUC";
        line.unitFromCode = true;
        line.quantity = Decimal(1).rescaled(2);
        line.value = sign * (a.charge ? a.amount : -a.amount);
        line.vatPercent = a.vatRate.value_or(Decimal(0));
        add(std::move(line));
    }
    if (reverseCharge)
        note(ImportNoteScope::Notice,
             "Factura are linii cu taxare inversa (AE): TVA-ul lor nu "
             "apare in factura si se calculeaza de cumparator.");
    if (allowance + charge > 0)
        note(ImportNoteScope::Notice,
             "Reducerile si taxele facturii devin linii de N.I.R. de "
             "categoria DISCOUNT, respectiv SERVICII, fara fisa de stoc.");
}

void EInvoiceImport::checkTotals() {
    const ReceivedEInvoice& d = document_;
    const Decimal sign = d.creditNote && !d.taxInclusive.isNegative() ? Decimal(-1) : Decimal(1);
    auto compare = [&](const std::string& what, const Decimal& ours, const Decimal& theirs) {
        if (RoundCents(ours) == RoundCents(theirs)) return;
        note(ImportNoteScope::Notice, what + ": " + Amount(ours) + " fata de " + Amount(theirs) +
                                          " in factura (diferenta " + Amount(ours - theirs) + ").");
    };
    Decimal lineSum, vat;
    for (const ReceivedLine& l : d.lines) lineSum += l.lineAmount;
    compare("Suma liniilor", lineSum, d.lineTotal);
    compare("Totalul liniilor minus reduceri plus taxe",
            d.lineTotal - d.allowanceTotal + d.chargeTotal, d.taxExclusive);
    for (const ImportedLine& line : lines)
        vat += RoundCents(line.value * line.vatPercent / Decimal(100));
    compare("TVA calculat pe liniile N.I.R.", vat, sign * d.vatTotal);
    compare("Totalul fara TVA plus TVA", d.taxExclusive + d.vatTotal, d.taxInclusive);
    compare("Totalul cu TVA minus avansuri plus rotunjire", d.taxInclusive - d.prepaid + d.rounding,
            d.payable);
    if (!d.prepaid.isZero())
        note(ImportNoteScope::Notice, "Din factura s-au platit in avans " + Amount(d.prepaid) +
                                          " lei; restul de plata inregistrat este " +
                                          rest.toString() + ".");
}

NirLineForm EInvoiceImport::lineForm(const ImportedLine& line, tables::Date today) const {
    // The fields a reset would give, without reading the settings for every line.
    NirLineForm form;
    form.setVat(line.vatPercent, company_.vatPayer());
    form.location = location;
    form.locationList = {location};
    form.warranty = AddMonths(today, 12);
    form.product = line.product;
    form.category = line.category;
    form.unit = line.unit;
    form.qf = form.q = line.quantity;
    form.p = line.price;
    form.a = line.markup;
    form.recalcLine();
    // The value is the file's, as a user types it over the computed one.
    const NirVat& vat = form.vat();
    if (vat.payerRate()) {
        form.vf = line.value;
        form.tf = RoundCents(Carry4(line.value * vat.r));
    } else {
        form.vf = RoundCents(Carry4(line.value * (Decimal(1) + vat.r)));
        form.tf = Decimal(0).rescaled(2);
    }
    form.tt = form.vf + form.tf;
    return form;
}

void EInvoiceImport::markupChanged(std::size_t i) {
    ImportedLine& line = lines.at(i);
    if (!line.inNir) return;
    NirLineForm form = lineForm(line, today_);
    form.a = line.markup;
    form.markupChanged();
    line.sale = form.s;
}

void EInvoiceImport::saleChanged(std::size_t i) {
    ImportedLine& line = lines.at(i);
    if (!line.inNir) return;
    NirLineForm form = lineForm(line, today_);
    form.s = line.sale;
    form.saleChanged();
    line.markup = form.a;
}

void EInvoiceImport::unitChanged(std::size_t i) {
    ImportedLine& line = lines.at(i);
    line.unit = FirstChars(UpperText(CleanText(line.unit)), Width("ProdNIR", "UM"));
}

std::vector<ImportNote> EInvoiceImport::notes() const {
    std::vector<ImportNote> out = fixed_;
    if (!makeNir) return out;
    if (CleanText(location).empty())
        out.push_back({ImportNoteScope::BlocksNir, "Alegeti gestiunea N.I.R.-ului!"});
    std::map<std::string, std::string> unitOf;  // product -> unit among the file's lines
    for (const ImportedLine& line : lines) {
        if (!line.inNir) continue;
        const std::string where = "Linia de N.I.R. " + line.source + " (" + line.product + ")";
        if (line.unit.empty()) {
            out.push_back({ImportNoteScope::BlocksNir,
                           where + ": codul de unitate " + line.unitCode +
                               " nu are o unitate de masura in setari (UMS); scrieti unitatea!"});
            continue;
        }
        if (line.price.isZero()) {
            out.push_back({ImportNoteScope::BlocksNir, where + ": Lipseste Pretul furnizorului "
                                                               "fara TVA!"});
            continue;
        }
        if (line.quantity.isNegative() && line.price.isNegative()) {
            out.push_back({ImportNoteScope::BlocksNir,
                           where + ": Cantitatea si Pretul de intrare nu pot fi negative in "
                                   "acelasi timp!"});
            continue;
        }
        if (line.category == kGoods && line.sale.isZero())
            out.push_back(
                {ImportNoteScope::BlocksNir, where + ": Lipseste pretul final de vanzare!"});
        if (line.category == kGoods)
            if (auto problem = RateProblem(line.markup, MarkupRange()))
                out.push_back({ImportNoteScope::BlocksNir, where + ": " + *problem});
        const NirLineForm form = lineForm(line, today_);
        const NirStoredPrices stored = ComputeStoredPrices(form.vat(), form.q, form.p, form.pt,
                                                           form.vf, line.markup, line.sale, true);
        if (!Fits("ProdNIR", "CANTR", line.quantity) || !Fits("ProdNIR", "VALOARE", form.vf) ||
            !Fits("ProdNIR", "TOTALF", form.tt) || !Fits("ProdNIR", "PRETU", stored.pretu) ||
            !Fits("ProdNIR", "VALAT", stored.valat) || !Fits("ProdNIR", "PRETAT", line.sale) ||
            !Fits("ProdNIR", "ADAOS", line.markup))
            out.push_back(
                {ImportNoteScope::BlocksNir,
                 where + ": cantitatea, pretul sau valoarea sunt prea mari pentru N.I.R.!"});
        auto [seen, fresh] = unitOf.emplace(line.product, line.unit);
        std::string other = fresh ? std::string() : seen->second;
        if (other == line.unit) other.clear();
        if (other.empty()) {
            tables::ResultSet stored =
                db_.query("SELECT UM FROM " + ProdNirTable(db_) + " WHERE PRODUS=:p AND UM<>:u",
                          {{"p", line.product}, {"u", line.unit}});
            if (!stored.empty()) other = stored.asText("UM");
        }
        if (!other.empty())
            out.push_back({ImportNoteScope::BlocksNir, where + ": Produsul " + line.product +
                                                           " exista deja, dar cu unitatea de "
                                                           "masura " +
                                                           other + "!"});
    }
    return out;
}

std::optional<Message> EInvoiceImport::refusal() const {
    for (const ImportNote& n : notes())
        if (n.scope == ImportNoteScope::BlocksAll ||
            (n.scope == ImportNoteScope::BlocksNir && makeNir))
            return Message{kEInvoiceImportTitle, n.text, MessageKind::Error};
    return std::nullopt;
}

EInvoiceImportResult EInvoiceImport::post(tables::Date today) {
    if (auto problem = refusal()) throw tables::EngineError(problem->text, "FactIn");
    return db_.atomically([&] {
        EInvoiceImportResult result;
        result.idFact = settings_.nextNumber("IDFACT");
        InsertIncomingDocument(db_, {result.idFact, numeFact, seriaNr, dataIn, furnizor, cui,
                                     banca, cont, dataScad, valoare, tvaProc, total, rest});
        if (!makeNir) return result;

        NirHeaderForm header;
        header.startNew(db_, settings_, today);
        result.nrNir = header.number;
        result.idNir = header.save(db_, settings_, result.idFact);
        for (const ImportedLine& line : lines) {
            if (!line.inNir) continue;
            NirLineForm form = lineForm(line, today);
            form.a = line.markup;
            form.s = line.sale;
            if (auto problem = form.save(db_, settings_))
                throw tables::EngineError(
                    line.source + " (" + line.product + "): " + problem->message, "ProdNIR");
            AddNirLine(db_, settings_, result.idNir, form.toRow(), 0);
            // A unit written for a code the settings did not know is remembered.
            if (!line.unitFromCode)
                for (const std::string& item : UnitChoice::items())
                    if (UnitChoice::codeOf(item) == line.unitCode &&
                        settings_.readSetting("UMS", line.unit).empty())
                        settings_.writeSetting("UMS", line.unit, item);
        }
        return result;
    });
}

Message EInvoiceImport::successMessage(const EInvoiceImportResult& result) const {
    std::string text = "Factura " + seriaNr + " din " + dataIn.toString() + " a furnizorului " +
                       furnizor + " a fost preluata";
    if (result.idNir > 0) text += " cu N.I.R. nr. " + std::to_string(result.nrNir);
    return {kEInvoiceImportTitle, text + "!", MessageKind::Confirmation};
}

EInvoiceImportRun ImportEInvoiceFile(tables::Database& db, Settings& settings,
                                     const CompanyProfile& company,
                                     const std::filesystem::path& file, const std::string& location,
                                     tables::Date today) {
    EInvoiceImportRun run;
    EInvoiceImport import(db, settings, company);
    import.location = location;
    if (auto problem = import.load(file, today)) {
        run.message = *problem;
        return run;
    }
    import.makeNir = !location.empty();
    import.location = location;
    run.notes = import.notes();
    if (auto problem = import.refusal()) {
        run.message = *problem;
        return run;
    }
    run.result = import.post(today);
    run.imported = true;
    run.message = import.successMessage(run.result);
    return run;
}

}  // namespace tvx::core

// Reading, checking and posting a delivery-note file.
#include "core/purchases/DeliveryNoteImport.h"

#include <fstream>
#include <iterator>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/common/Settings.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "core/purchases/IncomingDocument.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLinePrices.h"
#include "core/stock/NirNotes.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/Utf8.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kCategory = "MARFA";

// The sane range of a VAT percentage.
Decimal LowestVat() {
    return Decimal(0);
}
Decimal HighestVat() {
    return Decimal(100);
}

// The width a text is cut to: its field's, so that what is looked up equals what is stored.
size_t TextWidth(const char* table, const char* field) {
    return static_cast<size_t>(fieldSpec(table, field).width);
}

bool Fits(const char* table, const char* field, const Decimal& value) {
    return fitsField(fieldSpec(table, field), value);
}

Message Refusal(const std::string& text) {
    return {kDeliveryNoteTitle, text, MessageKind::Error};
}

std::string At(const std::string& fileName, size_t line) {
    return "Fisierul " + fileName + "\rlinia " + std::to_string(line) + ": ";
}

// The file's text as UTF-8. A file that opens with the UTF-8 byte-order mark, or that is
// well-formed UTF-8 holding some character beyond ASCII, is read as UTF-8 (an editor or
// another program may have saved it so; a bad sequence after the mark becomes '?'); any
// other file is Windows-1250, as the export writes it.
std::string FileText(std::string_view bytes) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = bytes.starts_with(kByteOrderMark);
    if (marked) bytes.remove_prefix(kByteOrderMark.size());
    std::string text;
    text.reserve(bytes.size());
    bool wellFormed = true;
    bool beyondAscii = false;
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t from = pos;
        char32_t cp = 0;
        if (tables::decodeUtf8(bytes, pos, cp)) {
            text.append(bytes.substr(from, pos - from));
            beyondAscii = beyondAscii || cp >= 0x80;
        } else {
            wellFormed = false;
            text += '?';
        }
    }
    if (marked || (wellFormed && beyondAscii)) return text;
    return tables::dbf::cp1250ToUtf8(bytes);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    while (!lines.empty() && CleanText(lines.back()).empty()) lines.pop_back();
    return lines;
}

// A number line as the export writes it; a decimal comma is taken as well.
std::optional<Decimal> NumberLine(const std::string& line) {
    std::string text = line;
    for (char& c : text)
        if (c == ',') c = '.';
    return Decimal::parse(text);
}

// What each line of a product holds, for the message of a missing one.
const char* ProductLineName(size_t offset) {
    switch (offset) {
        case 0:
            return "denumirea produsului";
        case 1:
            return "unitatea de masura";
        case 2:
            return "pretul";
        default:
            return "cantitatea";
    }
}

// What one product line stores, computed once for the check of the file and the posting.
struct ProductAmounts {
    Decimal salePrice;  // the lot's entry and sale price
    Decimal value;      // VALOARE and VALA: q x p
    Decimal vat;        // VALTVA: q x p x T / 100
    Decimal total;      // TOTALF: q x p x (1 + T / 100)
    Decimal pretat;     // p x (1 + v)
    Decimal valat;      // PRETAT x q, also the movement's VALIN
};

ProductAmounts AmountsOf(const DeliveryNoteProduct& product, const Decimal& t, bool vatPayer) {
    const Decimal hundred(100);
    const Decimal v = vatPayer ? t / hundred : Decimal(0);
    const Decimal& p = product.price;
    const Decimal& q = product.quantity;
    ProductAmounts out;
    out.salePrice = RoundCents(p * (Decimal(1) + v));
    out.value = Carry4(q * p);
    out.vat = Carry4(q * p * t / hundred);
    out.total = Carry4(q * p * (Decimal(1) + t / hundred));
    out.pretat = Carry4(p * (Decimal(1) + v));
    out.valat = Carry4(out.pretat * q);
    return out;
}

// Every amount a product stores fits its field, and so do the note's totals up to it
// (`vmf`, `vta`: the sums of VALOARE and VALAT so far, as the stored cents add up).
bool AmountsFit(const ProductAmounts& a, Decimal& vmf, Decimal& vta) {
    vmf += RoundCents(a.value);
    vta += RoundCents(a.valat);
    return Fits("CapFise", "PRETOUT", a.salePrice) && Fits("ProdNIR", "VALOARE", a.value) &&
           Fits("ProdNIR", "VALTVA", a.vat) && Fits("ProdNIR", "TOTALF", a.total) &&
           Fits("ProdNIR", "PRETAT", a.pretat) && Fits("ProdNIR", "VALAT", a.valat) &&
           Fits("Fise", "VALIN", a.valat) && Fits("CapNIR", "VMF", vmf) &&
           Fits("CapNIR", "TOTAL", vta) && Fits("CapNIR", "VTN", vta - vmf);
}

}  // namespace

std::optional<Message> ParseDeliveryNote(std::string_view bytes, const std::string& fileName,
                                         bool vatPayer, DeliveryNote& note) {
    note = DeliveryNote{};
    const std::vector<std::string> lines = SplitLines(FileText(bytes));
    const char* headerNames[] = {"seria si numarul avizului", "numele expeditorului",
                                 "procentul TVA"};
    if (lines.size() < 3)
        return Refusal(At(fileName, lines.size() + 1) + "lipseste " + headerNames[lines.size()] +
                       "!");

    note.seriaNr = FirstChars(CleanText(lines[0]), TextWidth("FactIn", "SERIANR"));
    if (note.seriaNr.empty()) return Refusal(At(fileName, 1) + "lipseste seria si numarul!");
    note.sender = FirstChars(CleanText(lines[1]), TextWidth("FactIn", "FURNIZOR"));
    if (note.sender.empty()) return Refusal(At(fileName, 2) + "lipseste numele expeditorului!");
    const auto vat = NumberLine(lines[2]);
    const std::string vatText = "procentul TVA \"" + lines[2] + "\"";
    if (!vat) return Refusal(At(fileName, 3) + vatText + " nu este un numar!");
    if (*vat < LowestVat() || *vat > HighestVat() || !Fits("FactIn", "TVAPROC", *vat))
        return Refusal(At(fileName, 3) + vatText + " nu este intre " + LowestVat().toString() +
                       " si " + HighestVat().toString() + "!");
    // TVAPROC keeps whole percents: a fraction would be stored cut while the lines use it.
    if (vat->rescaled(0, tables::Rounding::Truncate) != *vat)
        return Refusal(At(fileName, 3) + vatText + " nu este un numar intreg!");
    note.vatPercent = *vat;

    if (lines.size() == 3) return Refusal("Fisierul " + fileName + "\rnu contine nici un produs!");
    const size_t whole = 3 + (lines.size() - 3) / 4 * 4;
    if (whole != lines.size()) {
        const size_t missing = lines.size() + 1;  // 1-based number of the first absent line
        return Refusal(At(fileName, missing) + "lipseste " + ProductLineName((missing - 4) % 4) +
                       " produsului de pe linia " + std::to_string(whole + 1) + "!");
    }

    note.products.reserve((lines.size() - 3) / 4);
    Decimal vmf, vta;  // the note's totals so far
    for (size_t first = 3; first < lines.size(); first += 4) {
        DeliveryNoteProduct product;
        product.line = static_cast<int>(first + 1);
        product.name = FirstChars(CleanText(lines[first]), TextWidth("ProdNIR", "PRODUS"));
        if (product.name.empty())
            return Refusal(At(fileName, first + 1) + "lipseste denumirea produsului!");
        product.unit = FirstChars(CleanText(lines[first + 1]), TextWidth("ProdNIR", "UM"));

        const std::string price =
            "pretul produsului " + product.name + ", \"" + lines[first + 2] + "\",";
        const auto p = NumberLine(lines[first + 2]);
        if (!p) return Refusal(At(fileName, first + 3) + price + " nu este un numar!");
        if (p->isNegative()) return Refusal(At(fileName, first + 3) + price + " este negativ!");
        if (!Fits("ProdNIR", "PRETU", *p))
            return Refusal(At(fileName, first + 3) + price + " este prea mare!");
        product.price = *p;

        const std::string quantity =
            "cantitatea produsului " + product.name + ", \"" + lines[first + 3] + "\",";
        const auto q = NumberLine(lines[first + 3]);
        if (!q) return Refusal(At(fileName, first + 4) + quantity + " nu este un numar!");
        if (q->isNegative()) return Refusal(At(fileName, first + 4) + quantity + " este negativa!");
        // Quantities are kept in cents, so that the card, the movement and the line agree.
        product.quantity = RoundCents(*q);
        if (product.quantity.isZero())
            return Refusal(At(fileName, first + 4) + quantity + " este zero!");
        if (!Fits("ProdNIR", "CANTR", product.quantity))
            return Refusal(At(fileName, first + 4) + quantity + " este prea mare!");

        if (!AmountsFit(AmountsOf(product, note.vatPercent, vatPayer), vmf, vta))
            return Refusal(At(fileName, first + 1) + "valoarea produsului " + product.name +
                           " (cantitate x pret) sau totalul avizului pana la el este prea mare!");
        note.products.push_back(std::move(product));
    }
    return std::nullopt;
}

std::optional<Message> ReadDeliveryNote(const std::filesystem::path& file, bool vatPayer,
                                        DeliveryNote& note) {
    const std::string name = file.filename().string();
    std::ifstream in(file, std::ios::binary);
    if (!in) return Refusal("Fisierul " + name + "\rnu poate fi citit!");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Refusal("Fisierul " + name + "\rnu poate fi citit!");
    return ParseDeliveryNote(bytes, name, vatPayer, note);
}

DeliveryNotePosted PostDeliveryNote(tables::Database& db, Settings& settings,
                                    const CompanyProfile& company, const std::string& location,
                                    const DeliveryNote& note, tables::Date today) {
    // The rate is stored as its whole part, as everywhere else.
    const Decimal storedRate = note.vatPercent.rescaled(0, tables::Rounding::Truncate);

    return db.atomically([&] {
        DeliveryNotePosted posted;
        posted.idFact = settings.nextNumber("IDFACT");
        // An imported note is recorded without amounts: its NIR lines carry them.
        InsertIncomingDocument(db, {posted.idFact, kImportedNoteKind, note.seriaNr, today,
                                    note.sender, company.codFisc, "", "", today, Decimal(0),
                                    static_cast<int>(storedRate.toLongLong()), Decimal(0),
                                    Decimal(0)});

        // The note is made as the header dialog makes one, with the number the counter
        // proposes and the names of the NIR section; no check against other notes.
        NirHeaderForm header;
        header.startNew(db, settings, today);
        posted.nrNir = header.number;
        posted.idNir = header.save(db, settings, posted.idFact);

        for (const DeliveryNoteProduct& product : note.products) {
            const ProductAmounts amounts = AmountsOf(product, note.vatPercent, company.vatPayer());
            const long long idProd = settings.nextNumber("IDPROD");
            const long long idCap =
                FindOrCreateLot(db, settings, location, kCategory, product.name, product.unit,
                                amounts.salePrice, amounts.salePrice);
            const long long idFisa = settings.nextNumber("IDFISA");
            db.execute(
                "INSERT INTO " + ProdNirTable(db) +
                    " (IDPROD, IDNIR, IDCAP, IDFISA, GESTIUNE, CATEG, PRODUS, UM, CANTF, CANTR,"
                    " PRETU, VALOARE, VALTVA, TOTALF, PRETA, VALA, PRETAT, VALAT, CODBARE, OBS,"
                    " GARANTIE, ADAOS) VALUES (:idprod, :idnir, :idcap, :idfisa, :gestiune,"
                    " :categ, :produs, :um, :q, :q, :p, :valoare, :valtva, :totalf, :p, :valoare,"
                    " :pretat, :valat, '', '', :today, 0)",
                {{"idprod", idProd},
                 {"idnir", posted.idNir},
                 {"idcap", idCap},
                 {"idfisa", idFisa},
                 {"gestiune", location},
                 {"categ", kCategory},
                 {"produs", product.name},
                 {"um", product.unit},
                 {"q", product.quantity},
                 {"p", product.price},
                 {"valoare", amounts.value},
                 {"valtva", amounts.vat},
                 {"totalf", amounts.total},
                 {"pretat", amounts.pretat},
                 {"valat", amounts.valat},
                 {"today", today}});

            Movement entry = EntryMovement(product.quantity, amounts.valat);
            entry.idFisa = idFisa;
            entry.tip = kMoveEntry;
            entry.docJus = kNirDocument;
            entry.nrDoc = posted.nrNir;
            entry.dinData = today;
            PostEntry(db, idCap, entry);
        }
        // Once for the whole note: the totals sum every line of it, so summing after each
        // line made the import grow with the square of its lines.
        RecalcNirTotals(db, posted.idNir);
        return posted;
    });
}

DeliveryNoteImportResult ImportDeliveryNote(tables::Database& db, Settings& settings,
                                            const CompanyProfile& company,
                                            const Locations& locations,
                                            const std::filesystem::path& file, tables::Date today) {
    DeliveryNoteImportResult result;
    if (locations.names().empty()) {
        result.message = Refusal(
            "Nu exista nici o gestiune definita!\rAdaugati mai intai o gestiune din Setari.");
        return result;
    }
    DeliveryNote note;
    if (auto problem = ReadDeliveryNote(file, company.vatPayer(), note)) {
        result.message = *problem;
        return result;
    }
    result.posted = PostDeliveryNote(db, settings, company, locations.names().front(), note, today);
    result.imported = true;
    result.message = {kDeliveryNoteTitle, "Avizul a fost preluat cu succes!",
                      MessageKind::Confirmation};
    return result;
}

}  // namespace tvx::core

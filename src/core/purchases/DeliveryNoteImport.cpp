// Reading, checking and posting a delivery-note file.
#include "core/purchases/DeliveryNoteImport.h"

#include <fstream>
#include <iterator>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/purchases/IncomingDocument.h"
#include "core/stock/NirHeader.h"
#include "core/stock/NirLinePrices.h"
#include "core/stock/NirNotes.h"
#include "core/stock/StockCards.h"
#include "tables/Database.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kCategory = "MARFA";

// Field widths the texts are cut to, so that what is looked up equals what is stored.
constexpr size_t kSeriesWidth = 18;
constexpr size_t kSenderWidth = 32;
constexpr size_t kProductWidth = 240;
constexpr size_t kUnitWidth = 4;

Message Refusal(const std::string& text) {
    return {kDeliveryNoteTitle, text, MessageKind::Error};
}

std::string At(const std::string& fileName, size_t line) {
    return "Fisierul " + fileName + "\rlinia " + std::to_string(line) + ": ";
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

}  // namespace

std::optional<Message> ParseDeliveryNote(std::string_view bytes, const std::string& fileName,
                                         DeliveryNote& note) {
    note = DeliveryNote{};
    const std::vector<std::string> lines = SplitLines(tables::dbf::cp1250ToUtf8(bytes));
    const char* headerNames[] = {"seria si numarul avizului", "numele expeditorului",
                                 "procentul TVA"};
    if (lines.size() < 3)
        return Refusal(At(fileName, lines.size() + 1) + "lipseste " + headerNames[lines.size()] +
                       "!");

    note.seriaNr = FirstChars(CleanText(lines[0]), kSeriesWidth);
    if (note.seriaNr.empty()) return Refusal(At(fileName, 1) + "lipseste seria si numarul!");
    note.sender = FirstChars(CleanText(lines[1]), kSenderWidth);
    if (note.sender.empty()) return Refusal(At(fileName, 2) + "lipseste numele expeditorului!");
    const auto vat = NumberLine(lines[2]);
    if (!vat)
        return Refusal(At(fileName, 3) + "procentul TVA \"" + lines[2] + "\" nu este un numar!");
    if (vat->isNegative())
        return Refusal(At(fileName, 3) + "procentul TVA \"" + lines[2] + "\" este negativ!");
    note.vatPercent = *vat;

    if (lines.size() == 3) return Refusal("Fisierul " + fileName + "\rnu contine nici un produs!");
    const size_t whole = 3 + (lines.size() - 3) / 4 * 4;
    if (whole != lines.size()) {
        const size_t missing = lines.size() + 1;  // 1-based number of the first absent line
        return Refusal(At(fileName, missing) + "lipseste " + ProductLineName((missing - 4) % 4) +
                       " produsului de pe linia " + std::to_string(whole + 1) + "!");
    }

    for (size_t first = 3; first < lines.size(); first += 4) {
        DeliveryNoteProduct product;
        product.line = static_cast<int>(first + 1);
        product.name = FirstChars(CleanText(lines[first]), kProductWidth);
        if (product.name.empty())
            return Refusal(At(fileName, first + 1) + "lipseste denumirea produsului!");
        product.unit = FirstChars(CleanText(lines[first + 1]), kUnitWidth);
        const std::string& priceLine = lines[first + 2];
        const auto price = NumberLine(priceLine);
        if (!price)
            return Refusal(At(fileName, first + 3) + "pretul produsului " + product.name + ", \"" +
                           priceLine + "\", nu este un numar!");
        if (price->isNegative())
            return Refusal(At(fileName, first + 3) + "pretul produsului " + product.name + ", \"" +
                           priceLine + "\", este negativ!");
        const std::string& quantityLine = lines[first + 3];
        const auto quantity = NumberLine(quantityLine);
        if (!quantity)
            return Refusal(At(fileName, first + 4) + "cantitatea produsului " + product.name +
                           ", \"" + quantityLine + "\", nu este un numar!");
        if (quantity->isNegative())
            return Refusal(At(fileName, first + 4) + "cantitatea produsului " + product.name +
                           ", \"" + quantityLine + "\", este negativa!");
        product.price = *price;
        // Quantities are kept in cents, so that the card, the movement and the line agree.
        product.quantity = RoundCents(*quantity);
        note.products.push_back(std::move(product));
    }
    return std::nullopt;
}

std::optional<Message> ReadDeliveryNote(const std::filesystem::path& file, DeliveryNote& note) {
    const std::string name = file.filename().string();
    std::ifstream in(file, std::ios::binary);
    if (!in) return Refusal("Fisierul " + name + "\rnu poate fi citit!");
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return Refusal("Fisierul " + name + "\rnu poate fi citit!");
    return ParseDeliveryNote(bytes, name, note);
}

DeliveryNotePosted PostDeliveryNote(tables::Database& db, Settings& settings,
                                    const CompanyProfile& company, const std::string& location,
                                    const DeliveryNote& note, tables::Date today) {
    const Decimal t = note.vatPercent;
    const Decimal hundred(100);
    const Decimal v = company.vatPayer() ? t / hundred : Decimal(0);
    // The rate is stored as its whole part, as everywhere else.
    const Decimal storedRate = t.rescaled(0, tables::Rounding::Truncate);

    return db.atomically([&] {
        DeliveryNotePosted posted;
        posted.idFact = settings.nextNumber("IDFACT");
        db.execute("INSERT INTO " + FactInTable(db) +
                       " (IDFACT, NUMEFACT, SERIANR, DATAIN, FURNIZOR, BANCA, CONT, TVAPROC,"
                       " DATASCAD, VALOARE, TOTAL, REST, CUI) VALUES (:id, :numefact, :serianr,"
                       " :today, :furnizor, '', '', :tva, :today, 0, 0, 0, :cui)",
                   {{"id", posted.idFact},
                    {"numefact", kImportedNoteKind},
                    {"serianr", note.seriaNr},
                    {"today", today},
                    {"furnizor", note.sender},
                    {"tva", storedRate},
                    {"cui", company.codFisc}});

        // The note is made as the header dialog makes one, with the number the counter
        // proposes and the names of the NIR section; no check against other notes.
        NirHeaderForm header;
        header.startNew(db, settings, today);
        posted.nrNir = header.number;
        posted.idNir = header.save(db, settings, posted.idFact);

        for (const DeliveryNoteProduct& product : note.products) {
            const Decimal& p = product.price;
            const Decimal& q = product.quantity;
            const Decimal salePrice = RoundCents(p * (Decimal(1) + v));
            const long long idProd = settings.nextNumber("IDPROD");
            const long long idCap = FindOrCreateLot(db, settings, location, kCategory, product.name,
                                                    product.unit, salePrice, salePrice);
            const long long idFisa = settings.nextNumber("IDFISA");
            const Decimal value = Carry4(q * p);
            const Decimal pretat = Carry4(p * (Decimal(1) + v));
            const Decimal valat = Carry4(pretat * q);
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
                 {"q", q},
                 {"p", p},
                 {"valoare", value},
                 {"valtva", Carry4(q * p * t / hundred)},
                 {"totalf", Carry4(q * p * (Decimal(1) + t / hundred))},
                 {"pretat", pretat},
                 {"valat", valat},
                 {"today", today}});
            RecalcNirTotals(db, posted.idNir);

            Movement entry = EntryMovement(q, valat);
            entry.idFisa = idFisa;
            entry.tip = kMoveEntry;
            entry.docJus = kNirDocument;
            entry.nrDoc = posted.nrNir;
            entry.dinData = today;
            PostEntry(db, idCap, entry);
        }
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
    if (auto problem = ReadDeliveryNote(file, note)) {
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

// Drawing the workload arguments from a data directory through the engine, and the
// tab-separated file that carries them to the benchmark processes.
#include "Inputs.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "Random.h"
#include "tables/Database.h"

namespace tvx::bench {

namespace {

constexpr int kInvoices = 200;
constexpr int kLinesPerInvoice = 20;
constexpr int kLookups = 2000;
constexpr int kUpdates = 2000;
constexpr int kNotes = 500;
constexpr int kProductCards = 5;

struct CardRow {
    long long id;
    std::string location, product, unit;
    Decimal pretin, pretout, stock;
    long long movements;
};

long long maxOf(tables::Database& db, const std::string& sql) {
    tables::ResultSet rs = db.query(sql);
    return rs.at(0, 0).isNull() ? 0 : rs.at(0, 0).number().toLongLong();
}

Decimal num(const tables::Value& v) {
    return v.isNull() ? Decimal(0) : v.number();
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (true) {
        size_t tab = line.find('\t', at);
        parts.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos) break;
        at = tab + 1;
    }
    return parts;
}

}  // namespace

Inputs makeInputs(const std::filesystem::path& dataDir, uint64_t seed) {
    tables::Database db(dataDir);
    gen::Random rng(seed);
    Inputs in;
    in.firstInvoiceId = maxOf(db, "SELECT MAX(IDFACTO) FROM FactOut") + 1;
    in.firstMovementId = maxOf(db, "SELECT MAX(IDFISA) FROM Fise") + 1;
    in.firstInvoiceNumber = maxOf(db, "SELECT MAX(NR) FROM FactOut WHERE SERIA = 'TVX'") + 1;
    in.postingDate = Date::fromYmd(2025, 12, 31);
    in.from = Date::fromYmd(2024, 1, 1);
    in.to = Date::fromYmd(2024, 12, 31);

    std::vector<CardRow> cards;
    std::map<std::string, std::vector<size_t>> byLocation;  // cards with stock
    tables::ResultSet rs =
        db.query("SELECT IDCAP, GESTIUNE, PRODUS, UM, PRETIN, PRETOUT, STOC, NRREC FROM CapFise");
    for (size_t r = 0; r < rs.rowCount(); ++r) {
        cards.push_back({rs.at(r, 0).number().toLongLong(), rs.at(r, 1).text(), rs.at(r, 2).text(),
                         rs.at(r, 3).text(), num(rs.at(r, 4)), num(rs.at(r, 5)), num(rs.at(r, 6)),
                         rs.at(r, 7).number().toLongLong()});
        if (cards.back().stock >= Decimal(1)) byLocation[cards.back().location].push_back(r);
    }
    if (cards.empty() || byLocation.empty())
        throw std::runtime_error("No stock cards with stock in " + dataDir.string());

    tables::ResultSet buyers = db.query(
        "SELECT SOC2, RJ2, CUI2, ADRESA2, JUD2, LOC2, BANCA2, CONT2 FROM FactOut WHERE CUI2 <> ''");
    std::vector<std::string> locations;
    for (const auto& [location, list] : byLocation)
        if (list.size() >= static_cast<size_t>(kLinesPerInvoice)) locations.push_back(location);
    if (locations.empty() || buyers.empty())
        throw std::runtime_error("Too little data for the posting workload in " + dataDir.string());
    for (int i = 0; i < kInvoices; ++i) {
        InvoiceInput inv;
        inv.location = rng.pick(locations);
        const size_t b = rng.below(buyers.rowCount());
        for (int c = 0; c < 8; ++c) inv.buyer.push_back(buyers.at(b, c).text());
        std::vector<size_t> pool = byLocation[inv.location];
        for (int l = 0; l < kLinesPerInvoice; ++l) {
            const size_t k = rng.below(pool.size() - static_cast<size_t>(l));
            std::swap(pool[k], pool[pool.size() - 1 - static_cast<size_t>(l)]);
            const CardRow& card = cards[pool[pool.size() - 1 - static_cast<size_t>(l)]];
            InvoiceLineInput line;
            line.card = card.id;
            line.product = card.product;
            line.unit = card.unit;
            line.qty = Decimal(rng.between(1, 3)).rescaled(2);
            line.price = (card.pretout * Decimal(100) / Decimal(119)).rounded(2);
            line.value = (line.qty * line.price).rounded(2);
            line.vat = (line.value * Decimal(19) / Decimal(100)).rounded(2);
            inv.value += line.value;
            inv.vat += line.vat;
            inv.lines.push_back(std::move(line));
        }
        inv.total = inv.value + inv.vat;
        in.invoices.push_back(std::move(inv));
    }

    // Product cards: the two busiest lots' products, then some at random.
    std::vector<size_t> order(cards.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return cards[a].movements > cards[b].movements; });
    auto addCard = [&](const CardRow& c) {
        std::pair<std::string, std::string> key{c.location, c.product};
        if (std::find(in.productCards.begin(), in.productCards.end(), key) == in.productCards.end())
            in.productCards.push_back(key);
    };
    for (size_t i = 0; i < order.size() && in.productCards.size() < 2; ++i)
        addCard(cards[order[i]]);
    for (int guard = 0; in.productCards.size() < kProductCards && guard < 1000; ++guard)
        addCard(cards[rng.below(cards.size())]);

    for (int i = 0; i < kLookups; ++i) {
        const CardRow& c = cards[rng.below(cards.size())];
        LotKeyInput key{c.location, c.product, c.unit, c.pretin, c.pretout};
        if (rng.chance(100)) key.pretout += Decimal::fromUnits(1, 2);  // a lot not there yet
        in.lots.push_back(std::move(key));
    }
    for (int i = 0; i < kUpdates; ++i)
        in.stockUpdates.emplace_back(cards[rng.below(cards.size())].id,
                                     Decimal(rng.between(1, 3)).rescaled(2));

    tables::ResultSet notes = db.query("SELECT IDNIR FROM CapNIR");
    std::vector<long long> ids;
    for (size_t r = 0; r < notes.rowCount(); ++r)
        ids.push_back(notes.at(r, 0).number().toLongLong());
    for (size_t i = 0; i < ids.size() && in.notes.size() < static_cast<size_t>(kNotes); ++i) {
        std::swap(ids[i], ids[i + rng.below(ids.size() - i)]);
        in.notes.push_back(ids[i]);
    }

    const std::vector<std::pair<std::string, std::string>> mainIds = {
        {"FactIn", "IDFACT"},   {"ChitIn", "IDCHIT"},   {"CapNIR", "IDNIR"},
        {"ProdNIR", "IDPROD"},  {"CapFise", "IDCAP"},   {"Fise", "IDFISA"},
        {"FactOut", "IDFACTO"}, {"ProdOut", "IDFACTO"}, {"ChitOut", "IDCHIT"}};
    for (const auto& [table, field] : mainIds)
        in.lastIds.push_back({table, field, maxOf(db, "SELECT MAX(" + field + ") FROM " + table)});
    return in;
}

void saveInputs(const Inputs& in, const std::filesystem::path& file) {
    std::ofstream out(file, std::ios::trunc);
    out << "IDS\t" << in.firstInvoiceId << "\t" << in.firstMovementId << "\t"
        << in.firstInvoiceNumber << "\t" << in.postingDate.toString() << "\n";
    for (const auto& inv : in.invoices) {
        out << "INV\t" << inv.location;
        for (const auto& b : inv.buyer) out << "\t" << b;
        out << "\t" << inv.value.toString() << "\t" << inv.vat.toString() << "\t"
            << inv.total.toString() << "\n";
        for (const auto& l : inv.lines)
            out << "LINE\t" << l.card << "\t" << l.product << "\t" << l.unit << "\t"
                << l.qty.toString() << "\t" << l.price.toString() << "\t" << l.value.toString()
                << "\t" << l.vat.toString() << "\n";
    }
    for (const auto& [location, product] : in.productCards)
        out << "CARD\t" << location << "\t" << product << "\n";
    for (const auto& k : in.lots)
        out << "LOT\t" << k.location << "\t" << k.product << "\t" << k.unit << "\t"
            << k.pretin.toString() << "\t" << k.pretout.toString() << "\n";
    for (const auto& [id, qty] : in.stockUpdates)
        out << "UPD\t" << id << "\t" << qty.toString() << "\n";
    out << "YEAR\t" << in.from.toString() << "\t" << in.to.toString() << "\n";
    for (long long n : in.notes) out << "NOTE\t" << n << "\n";
    for (const auto& l : in.lastIds)
        out << "LAST\t" << l.table << "\t" << l.field << "\t" << l.id << "\n";
    out.close();
    if (!out) throw std::runtime_error("Cannot write " + file.string());
}

Inputs loadInputs(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("Cannot read " + file.string());
    Inputs r;
    std::string line;
    int number = 0;
    auto bad = [&]() {
        return std::runtime_error("Bad input file " + file.string() + " at line " +
                                  std::to_string(number));
    };
    auto dec = [&](const std::string& s) {
        auto d = Decimal::parse(s);
        if (!d) throw bad();
        return *d;
    };
    auto date = [&](const std::string& s) {
        auto d = Date::parseDayFirst(s);
        if (!d) throw bad();
        return *d;
    };
    auto whole = [&](const std::string& s) { return dec(s).toLongLong(); };
    auto need = [&](const std::vector<std::string>& p, size_t n) {
        if (p.size() != n) throw bad();
    };
    while (std::getline(in, line)) {
        ++number;
        const auto p = split(line);
        const std::string& tag = p[0];
        if (tag == "IDS") {
            need(p, 5);
            r.firstInvoiceId = whole(p[1]);
            r.firstMovementId = whole(p[2]);
            r.firstInvoiceNumber = whole(p[3]);
            r.postingDate = date(p[4]);
        } else if (tag == "INV") {
            need(p, 13);
            InvoiceInput inv;
            inv.location = p[1];
            inv.buyer.assign(p.begin() + 2, p.begin() + 10);
            inv.value = dec(p[10]);
            inv.vat = dec(p[11]);
            inv.total = dec(p[12]);
            r.invoices.push_back(std::move(inv));
        } else if (tag == "LINE") {
            need(p, 8);
            if (r.invoices.empty()) throw bad();
            r.invoices.back().lines.push_back(
                {whole(p[1]), p[2], p[3], dec(p[4]), dec(p[5]), dec(p[6]), dec(p[7])});
        } else if (tag == "CARD") {
            need(p, 3);
            r.productCards.emplace_back(p[1], p[2]);
        } else if (tag == "LOT") {
            need(p, 6);
            r.lots.push_back({p[1], p[2], p[3], dec(p[4]), dec(p[5])});
        } else if (tag == "UPD") {
            need(p, 3);
            r.stockUpdates.emplace_back(whole(p[1]), dec(p[2]));
        } else if (tag == "YEAR") {
            need(p, 3);
            r.from = date(p[1]);
            r.to = date(p[2]);
        } else if (tag == "NOTE") {
            need(p, 2);
            r.notes.push_back(whole(p[1]));
        } else if (tag == "LAST") {
            need(p, 4);
            r.lastIds.push_back({p[1], p[2], whole(p[3])});
        } else {
            throw bad();
        }
    }
    if (r.invoices.empty() || r.lastIds.empty()) throw bad();
    return r;
}

}  // namespace tvx::bench

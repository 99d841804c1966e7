// Checks of the data directory after a kill. First the rules the data must keep whatever
// was committed (each document whole or absent, stock cards agreeing with the movements,
// counters ahead of the numbers in use, the tables' own fields only, an empty journal);
// then the comparison with the model, which tells a lost commit or a surviving rollback
// apart from an allowed outcome of the transaction the kill cut short.
#include "Verify.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>

#include "tables/Database.h"
#include "tables/IndexFile.h"
#include "tables/Table.h"

namespace tvx::crash {

namespace {

using tables::Database;
using tables::Decimal;
using tables::ResultSet;

struct Violation : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string str(long long v) {
    return std::to_string(v);
}

Decimal numberAt(const ResultSet& rs, size_t row, int column, const std::string& where) {
    const tables::Value& v = rs.at(row, column);
    if (!v.isNumber())
        throw Violation(where + ": field " + rs.columns()[static_cast<size_t>(column)].name +
                        " is empty");
    return v.number();
}

long long idAt(const ResultSet& rs, size_t row, int column, const std::string& where) {
    return numberAt(rs, row, column, where).toLongLong();
}

std::vector<std::string> layoutOf(Database& db, const fs::path& file) {
    std::vector<std::string> out;
    for (const auto& f : db.table(file).fields())
        out.push_back(f.name + ":" + f.type + ":" + std::to_string(f.width) + ":" +
                      std::to_string(f.decimals));
    return out;
}

std::string joined(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& s : items) out += (out.empty() ? "" : " ") + s;
    return out;
}

// The byte frame of a table file: exactly header, records and the end mark, and a
// deletion flag at the start of every record.
void checkFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string name = file.filename().string();
    if (!in.eof() && !in) throw Violation("Cannot read " + name);
    if (bytes.size() < 32)
        throw Violation(name + " is only " + str(static_cast<long long>(bytes.size())) + " bytes");
    auto le = [&](size_t at, int n) {
        unsigned long long v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
        return v;
    };
    unsigned long long count = le(4, 4), header = le(8, 2), record = le(10, 2);
    unsigned long long expected = header + count * record + 1;
    if (bytes.size() != expected)
        throw Violation(name + " is " + str(static_cast<long long>(bytes.size())) +
                        " bytes, but its header (" + str(static_cast<long long>(count)) +
                        " records of " + str(static_cast<long long>(record)) + " bytes after " +
                        str(static_cast<long long>(header)) + ") and the end mark make " +
                        str(static_cast<long long>(expected)));
    if (bytes.back() != 0x1A) throw Violation(name + " does not end with the end mark 0x1A");
    for (unsigned long long r = 0; r < count; ++r) {
        char flag = bytes[header + r * record];
        if (flag != ' ' && flag != '*')
            throw Violation(name + ": record " + str(static_cast<long long>(r) + 1) +
                            " has the deletion flag byte " + str(static_cast<unsigned char>(flag)));
    }
}

struct Movement {
    long long idfisa;
    int idcap;
    Decimal cant;
};

// Reads the four tables, checks that every document is whole and every stock card agrees
// with the movements; returns the documents found.
std::map<long long, Document> readDocuments(Database& db, long long& maxFisa) {
    struct Head {
        std::string date;
        long long nrlin;
        Decimal total;
        std::vector<Line> lines;
        std::vector<Decimal> values;
        std::vector<Movement> moves;
    };
    std::map<long long, Head> heads;
    ResultSet h =
        db.query("SELECT IDFACTO, NRDOC, DATA, NRLIN, TOTAL FROM FactOut ORDER BY IDFACTO");
    for (size_t r = 0; r < h.rowCount(); ++r) {
        long long id = idAt(h, r, 0, "FactOut");
        std::string where = "FactOut, document " + str(id);
        if (heads.count(id)) throw Violation("FactOut holds document " + str(id) + " twice");
        if (h.at(r, 1).toString() != "F" + str(id))
            throw Violation(where + ": NRDOC reads '" + h.at(r, 1).toString() + "'");
        if (!h.at(r, 2).isDate()) throw Violation(where + ": DATA is empty");
        heads[id] =
            Head{h.at(r, 2).toString(), idAt(h, r, 3, where), numberAt(h, r, 4, where), {}, {}, {}};
    }

    ResultSet l = db.query(
        "SELECT IDFACTO, NRLIN, IDCAP, CANT, PRET, VALOARE FROM ProdOut ORDER BY IDFACTO, NRLIN");
    for (size_t r = 0; r < l.rowCount(); ++r) {
        long long id = idAt(l, r, 0, "ProdOut");
        std::string where = "ProdOut, document " + str(id);
        auto it = heads.find(id);
        if (it == heads.end())
            throw Violation(where + ": line " + l.at(r, 1).toString() +
                            " has no header (a document cut in half)");
        Head& head = it->second;
        if (idAt(l, r, 1, where) != static_cast<long long>(head.lines.size()) + 1)
            throw Violation(where + ": line number " + l.at(r, 1).toString() + " where " +
                            str(static_cast<long long>(head.lines.size()) + 1) + " was due");
        Line line{static_cast<int>(idAt(l, r, 2, where)), numberAt(l, r, 3, where),
                  numberAt(l, r, 4, where)};
        if (numberAt(l, r, 5, where) != line.value())
            throw Violation(where + ": VALOARE " + l.at(r, 5).toString() + " is not CANT * PRET " +
                            line.value().toString());
        head.lines.push_back(line);
        head.values.push_back(line.value());
    }

    std::set<long long> fisaSeen;
    std::map<int, std::pair<Decimal, long long>> perCard;  // moved quantity, movements
    ResultSet m = db.query("SELECT IDFISA, IDFACTO, IDCAP, CANTOUT FROM Fise ORDER BY IDFISA");
    for (size_t r = 0; r < m.rowCount(); ++r) {
        Movement mv{idAt(m, r, 0, "Fise"), 0, {}};
        std::string where = "Fise, movement " + str(mv.idfisa);
        if (!fisaSeen.insert(mv.idfisa).second) throw Violation(where + " is there twice");
        maxFisa = std::max(maxFisa, mv.idfisa);
        long long id = idAt(m, r, 1, where);
        mv.idcap = static_cast<int>(idAt(m, r, 2, where));
        mv.cant = numberAt(m, r, 3, where);
        auto it = heads.find(id);
        if (it == heads.end())
            throw Violation(where + " belongs to document " + str(id) +
                            ", which has no header (a document cut in half)");
        it->second.moves.push_back(mv);
        auto& card = perCard[mv.idcap];
        card.first += mv.cant;
        card.second += 1;
    }

    std::map<long long, Document> docs;
    for (auto& [id, head] : heads) {
        std::string where = "Document " + str(id);
        if (static_cast<long long>(head.lines.size()) != head.nrlin ||
            static_cast<long long>(head.moves.size()) != head.nrlin)
            throw Violation(where + " is incomplete: the header says " + str(head.nrlin) +
                            " lines, ProdOut has " +
                            str(static_cast<long long>(head.lines.size())) + " and Fise " +
                            str(static_cast<long long>(head.moves.size())));
        Decimal total = Decimal::fromUnits(0, 2);
        for (const auto& v : head.values) total += v;
        if (total != head.total)
            throw Violation(where + ": TOTAL " + head.total.toString() +
                            " but the lines add up to " + total.toString());
        Document d{id, head.moves.empty() ? 0 : head.moves[0].idfisa, head.date, head.lines};
        for (size_t i = 0; i < head.moves.size(); ++i) {
            const Movement& mv = head.moves[i];
            if (mv.idfisa != d.fisa0 + static_cast<long long>(i) || mv.idcap != d.lines[i].idcap ||
                mv.cant != d.lines[i].cant)
                throw Violation(where + ": movement " + str(mv.idfisa) + " (card " + str(mv.idcap) +
                                ", " + mv.cant.toString() + ") does not match line " +
                                str(static_cast<long long>(i) + 1));
        }
        docs[id] = std::move(d);
    }

    ResultSet c = db.query("SELECT IDCAP, STOC, NRREC FROM CapFise ORDER BY IDCAP");
    if (c.rowCount() != static_cast<size_t>(kItems))
        throw Violation("CapFise has " + str(static_cast<long long>(c.rowCount())) +
                        " stock cards instead of " + str(kItems));
    for (size_t r = 0; r < c.rowCount(); ++r) {
        int id = static_cast<int>(idAt(c, r, 0, "CapFise"));
        std::string where = "CapFise, card " + str(id);
        if (id != static_cast<int>(r) + 1)
            throw Violation(where + " where card " + str(static_cast<long long>(r) + 1) +
                            " was due");
        auto [moved, count] = perCard.count(id) ? perCard[id] : std::make_pair(Decimal(0), 0LL);
        Decimal stoc = numberAt(c, r, 1, where);
        long long nrrec = idAt(c, r, 2, where);
        if (stoc != initialStock(id) - moved || nrrec != count)
            throw Violation(where + ": STOC " + stoc.toString() + " NRREC " + str(nrrec) +
                            ", but the movements make STOC " +
                            (initialStock(id) - moved).toString() + " NRREC " + str(count));
    }
    return docs;
}

// What the tables' index files answer (read by the Database as it finds them after the
// kill) equals what the full reads above found: each document's header, lines and
// movements looked up by its number, and each date's documents by a date range.
void checkIndexedAnswers(Database& db, const std::map<long long, Document>& docs) {
    std::map<std::string, long long> perDate;
    for (const auto& [id, doc] : docs) ++perDate[doc.date];
    auto count = [&](const std::string& sql, const tables::Value& v) {
        return idAt(db.query(sql, {{"v", v}}), 0, 0, sql);
    };
    long long checked = 0;
    for (const auto& [id, doc] : docs) {
        if (++checked > 200) break;  // enough to meet every part of the indexes
        const tables::Value key(id);
        const long long lines = static_cast<long long>(doc.lines.size());
        if (count("SELECT COUNT(*) FROM FactOut WHERE IDFACTO = :v", key) != 1 ||
            count("SELECT COUNT(*) FROM ProdOut WHERE IDFACTO = :v", key) != lines ||
            count("SELECT COUNT(*) FROM Fise WHERE IDFACTO = :v", key) != lines)
            throw Violation("Document " + str(id) +
                            " looked up by its number differs from the tables read whole");
    }
    for (const auto& [date, n] : perDate) {
        auto day = tables::Date::parseDayFirst(date);
        if (day && count("SELECT COUNT(*) FROM FactOut WHERE DATA >= :v AND DATA <= :v",
                         tables::Value(*day)) != n)
            throw Violation("The documents of " + date +
                            " looked up by their date differ from the tables read whole");
    }
    const long long absent = docs.empty() ? 1 : docs.rbegin()->first + 1;
    if (count("SELECT COUNT(*) FROM ProdOut WHERE IDFACTO = :v", tables::Value(absent)) != 0)
        throw Violation("A document never posted is found by its number");
}

// The directory's entries that belong to nobody (temporary files left by a kill).
void collectLeftovers(const Paths& paths, CheckStats& stats) {
    std::set<std::string> known;
    for (const auto& f : tableFiles(paths)) {
        known.insert(f.filename().string());
        known.insert(tables::IndexFilePath(f).filename().string());  // the table's index file
    }
    known.insert(paths.settings.filename().string());
    known.insert(paths.settings.filename().string() + ".new");  // our own, cut before its rename
    known.insert(paths.journal.filename().string());
    known.insert(paths.lock.filename().string());
    for (const auto& entry : fs::directory_iterator(paths.dir)) {
        std::string name = entry.path().filename().string();
        if (!known.count(name) && std::find(stats.leftovers.begin(), stats.leftovers.end(), name) ==
                                      stats.leftovers.end())
            stats.leftovers.push_back(name);
    }
}

void check(const Paths& paths, Model& model, const std::optional<Intent>& inflight,
           CheckStats& stats) {
    std::error_code ec;
    uintmax_t before = fs::exists(paths.journal, ec) ? fs::file_size(paths.journal, ec) : 0;
    if (before > 0) ++stats.journalsPlayedBack;
    std::optional<Database> opened;
    try {
        opened.emplace(paths.dir);
    } catch (const std::exception& e) {
        throw Violation(std::string("Opening the data directory (recovery) failed: ") + e.what());
    }
    Database& db = *opened;
    uintmax_t after = fs::exists(paths.journal, ec) ? fs::file_size(paths.journal, ec) : 0;
    if (after != 0)
        throw Violation("The journal holds " + str(static_cast<long long>(after)) +
                        " bytes after recovery (it held " + str(static_cast<long long>(before)) +
                        ")");
    if (fs::exists(paths.scratch, ec))
        throw Violation("The scratch table " + paths.scratch.filename().string() +
                        " exists, but every transaction that creates it is rolled back");
    for (const auto& file : tableFiles(paths)) checkFileBytes(file);
    for (const auto& file : tableFiles(paths)) {
        std::vector<std::string> found = layoutOf(db, file), expected = expectedLayout(file, paths);
        if (found != expected)
            throw Violation("Table " + file.filename().string() + " has the fields [" +
                            joined(found) + "] instead of [" + joined(expected) + "]");
    }

    long long maxFisa = 0;
    std::map<long long, Document> docs = readDocuments(db, maxFisa);
    Settings settings;
    try {
        settings = readSettings(paths.settings);
    } catch (const std::exception& e) {
        throw Violation(e.what());
    }
    if (!docs.empty() && settings.idFacto <= docs.rbegin()->first)
        throw Violation("The settings give IDFACTO " + str(settings.idFacto) + " but document " +
                        str(docs.rbegin()->first) + " exists");
    if (settings.idFisa <= maxFisa)
        throw Violation("The settings give IDFISA " + str(settings.idFisa) + " but movement " +
                        str(maxFisa) + " exists");

    // The transaction the kill cut short either took effect as a whole or not at all.
    Model expected = model;
    std::string cut;
    if (inflight && inflight->kind == Intent::Maintenance) {
        cut = " (the kill cut transaction " + encodeIntent(*inflight) + ")";
    } else if (inflight) {
        bool applied = inflight->kind == Intent::Post ? docs.count(inflight->doc.id) > 0
                                                      : docs.count(inflight->doc.id) == 0;
        cut = " (the kill cut transaction " + encodeIntent(*inflight) + ", found " +
              (applied ? "committed" : "undone") + ")";
        if (applied) expected.apply(*inflight);
        ++(applied ? stats.inflightKept : stats.inflightUndone);
    }
    for (const auto& [id, doc] : expected.docs) {
        auto it = docs.find(id);
        if (it == docs.end())
            throw Violation("Committed document " + str(id) + " is missing" + cut);
        if (!(it->second == doc))
            throw Violation("Document " + str(id) + " reads '" +
                            encodeIntent(Intent{0, Intent::Post, it->second, {}}) +
                            "', committed was '" + encodeIntent(Intent{0, Intent::Post, doc, {}}) +
                            "'" + cut);
    }
    for (const auto& [id, doc] : docs)
        if (!expected.docs.count(id))
            throw Violation("Document " + str(id) + " is there but was never committed" + cut);
    if (!(settings == expected.settings))
        throw Violation("The settings read " + describe(settings) + " but the committed ones are " +
                        describe(expected.settings) + cut);
    model = std::move(expected);

    checkIndexedAnswers(db, docs);
    collectLeftovers(paths, stats);
}

}  // namespace

std::string checkDirectory(const Paths& paths, Model& model, const std::optional<Intent>& inflight,
                           CheckStats& stats) {
    try {
        check(paths, model, inflight, stats);
        return {};
    } catch (const Violation& v) {
        return v.what();
    } catch (const std::exception& e) {
        return std::string("Reading the data directory failed: ") + e.what();
    }
}

}  // namespace tvx::crash

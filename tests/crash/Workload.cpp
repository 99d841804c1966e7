// The child's transaction stream. Every transaction picks at random how it is opened
// (the Transaction guard, begin()/commit()/rollback() calls, or the BEGIN TRANSACTION /
// COMMIT / ROLLBACK statements), whether its commit waits for the disk, and how it ends:
// committed, rolled back explicitly after some of its steps, or left by an exception (a
// planned one, or the engine's own error for a value that does not fit). After a rollback
// and every few transactions the child reads its own data back and checks it, so a stale
// table cache shows up here even when the files on disk are right.
#include "Workload.h"

#include <unistd.h>

#include <functional>
#include <random>
#include <stdexcept>

#include "Model.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Table.h"

namespace tvx::crash {

namespace {

using tables::Database;
using tables::Decimal;
using tables::EngineError;
using tables::Params;
using tables::Value;

// Thrown by a step to leave a transaction by an exception.
struct PlannedFailure : std::runtime_error {
    PlannedFailure() : std::runtime_error("planned failure") {}
};

// Found by the child's own reading: reported as a violation.
struct Violation : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Fate { Commit, Rollback, Throw, EngineThrow };
enum class Style { Guard, Calls, Statements };

using Step = std::function<void()>;

class Writer {
  public:
    Writer(const Paths& paths, uint64_t seed, int fd)
        : paths_(paths), db_(paths.dir), rng_(seed), fd_(fd) {}

    [[noreturn]] void run() {
        for (;;) {
            int live = static_cast<int>(count("SELECT COUNT(*) FROM FactOut"));
            int removeWeight = live == 0 ? 0 : (live > 120 ? 55 : 25);
            int pick = uniform(0, 60 + removeWeight + 12 - 1);
            if (pick < 60)
                post();
            else if (pick < 60 + removeWeight)
                remove();
            else
                maintain();
            if (++sinceCheck_ >= 8) {
                checkCoherence();
                sinceCheck_ = 0;
            }
        }
    }

    void send(const std::string& line) {
        std::string text = line + "\n";
        size_t done = 0;
        while (done < text.size()) {
            ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) ::_exit(4);
            done += static_cast<size_t>(n);
        }
    }

  private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return uniform(0, 99) < percent; }

    long long count(const std::string& sql, const Params& params = {}) {
        tables::ResultSet rs = db_.query(sql, params);
        return rs.at(0, 0).number().toLongLong();
    }

    Fate pickFate(int commitPercent) {
        if (chance(commitPercent)) return Fate::Commit;
        switch (uniform(0, 2)) {
            case 0:
                return Fate::Rollback;
            case 1:
                return Fate::Throw;
            default:
                return Fate::EngineThrow;
        }
    }

    // A statement the engine refuses: the stock does not fit STOC N(10,2).
    void failInEngine() {
        db_.execute("INSERT INTO CapFise (IDCAP, STOC) VALUES (99, 123456789.50)");
        throw Violation("An overflowing stock value was accepted");
    }

    // Runs `steps` as one transaction ending as `fate` says (after a random number of
    // steps when it does not commit). Returns whether it committed.
    bool transact(const std::vector<Step>& steps, Fate fate) {
        db_.setDurable(chance(50));
        Style style = static_cast<Style>(uniform(0, 2));
        size_t stop = fate == Fate::Commit
                          ? steps.size()
                          : static_cast<size_t>(uniform(0, static_cast<int>(steps.size())));
        auto body = [&] {
            for (size_t i = 0; i < stop; ++i) steps[i]();
            if (fate == Fate::Throw) throw PlannedFailure();
            if (fate == Fate::EngineThrow) failInEngine();
        };
        // Only the failures this transaction planned may end it.
        auto planned = [&](const std::exception& e) {
            if (fate == Fate::Throw && dynamic_cast<const PlannedFailure*>(&e)) return true;
            return fate == Fate::EngineThrow && dynamic_cast<const EngineError*>(&e) &&
                   std::string(e.what()).find("does not fit") != std::string::npos;
        };
        if (style == Style::Guard) {
            try {
                tables::Transaction tx(db_);
                body();
                if (fate == Fate::Commit) {
                    tx.commit();
                    return true;
                }
                tx.rollback();
                return false;
            } catch (const std::exception& e) {
                if (!planned(e)) throw;
                return false;
            }
        }
        auto begin = [&] {
            if (style == Style::Calls)
                db_.begin();
            else
                db_.execute(chance(50) ? "BEGIN TRANSACTION" : "begin transaction");
        };
        auto end = [&](bool commit) {
            if (style == Style::Calls)
                commit ? db_.commit() : db_.rollback();
            else
                db_.execute(commit ? "COMMIT" : "ROLLBACK");
        };
        begin();
        try {
            body();
        } catch (const std::exception& e) {
            if (!planned(e)) throw;
            end(false);
            return false;
        }
        end(fate == Fate::Commit);
        return fate == Fate::Commit;
    }

    std::string randomDate() {
        int month = uniform(1, 12);
        int day = uniform(1, 28);
        char text[16];
        std::snprintf(text, sizeof text, "%02d.%02d.2024", day, month);
        return text;
    }

    fs::path randomTable() {
        auto files = tableFiles(paths_);
        return files[static_cast<size_t>(uniform(0, static_cast<int>(files.size()) - 1))];
    }

    // The stock change of one movement (goods out, or given back when a document is
    // removed), through a relative UPDATE or through the row editor.
    void moveStock(int idcap, const Decimal& quantity, bool giveBack) {
        if (chance(80)) {
            db_.execute(
                giveBack
                    ? "UPDATE CapFise SET STOC = STOC + :q, NRREC = NRREC - 1 WHERE IDCAP = :cap"
                    : "UPDATE CapFise SET STOC = STOC - :q, NRREC = NRREC + 1 WHERE IDCAP = :cap",
                {{"q", quantity}, {"cap", idcap}});
            return;
        }
        const Decimal change = giveBack ? -quantity : quantity;
        const Decimal records = giveBack ? Decimal(-1) : Decimal(1);
        auto editor = db_.edit(paths_.capFise);
        for (editor->first(); !editor->eof(); editor->next()) {
            if (editor->field("IDCAP").number() != Decimal(idcap)) continue;
            editor->setField("STOC", editor->field("STOC").number() - change);
            editor->setField("NRREC", editor->field("NRREC").number() + records);
            editor->post();
            return;
        }
        throw Violation("Stock card " + std::to_string(idcap) + " not found by the editor");
    }

    void post() {
        Settings before = readSettings(paths_.settings);
        Intent intent;
        intent.seq = ++seq_;
        intent.kind = Intent::Post;
        Document& d = intent.doc;
        d.id = before.idFacto;
        d.fisa0 = before.idFisa;
        d.date = randomDate();
        int n = uniform(1, 6);
        for (int i = 0; i < n; ++i) {
            Line l;
            l.idcap = uniform(1, kItems);
            l.cant = Decimal::fromUnits(uniform(1, 5000), 2);
            l.pret = Decimal::fromUnits(uniform(1, 99999), 2);
            d.lines.push_back(l);
        }
        Settings after = before;
        after.idFacto = d.id + 1;
        after.idFisa = d.fisa0 + n;

        std::vector<Step> steps;
        steps.push_back([&] {
            db_.protectFile(paths_.settings);
            writeSettings(paths_.settings, after);
        });
        steps.push_back([&] {
            db_.execute(
                "INSERT INTO FactOut (IDFACTO, NRDOC, DATA, NRLIN, TOTAL) VALUES (:id, :nr, :data, "
                ":n, :total)",
                {{"id", d.id},
                 {"nr", d.nrdoc()},
                 {"data", d.date},
                 {"n", n},
                 {"total", d.total()}});
        });
        for (int i = 0; i < n; ++i) {
            steps.push_back([&, i] {
                const Line& l = d.lines[static_cast<size_t>(i)];
                db_.execute(
                    "INSERT INTO ProdOut (IDFACTO, NRLIN, IDCAP, CANT, PRET, VALOARE) "
                    "VALUES (:id, :nr, :cap, :cant, :pret, :cant * :pret)",
                    {{"id", d.id},
                     {"nr", i + 1},
                     {"cap", l.idcap},
                     {"cant", l.cant},
                     {"pret", l.pret}});
            });
            steps.push_back([&, i] {
                const Line& l = d.lines[static_cast<size_t>(i)];
                db_.execute(
                    "INSERT INTO Fise (IDFISA, IDFACTO, IDCAP, CANTOUT) VALUES (:f, :id, :cap, :q)",
                    {{"f", d.fisa0 + i}, {"id", d.id}, {"cap", l.idcap}, {"q", l.cant}});
            });
            steps.push_back([&, i] {
                const Line& l = d.lines[static_cast<size_t>(i)];
                moveStock(l.idcap, l.cant, false);
            });
        }
        // Now and then the posting also tidies a table on the way.
        if (chance(15)) {
            fs::path table = randomTable();
            steps.insert(steps.begin() + uniform(1, static_cast<int>(steps.size())),
                         [this, table] { db_.pack(table); });
        }
        send("B " + encodeIntent(intent));
        bool committed = transact(steps, pickFate(76));
        send((committed ? "C " : "R ") + std::to_string(intent.seq));
        if (!committed) expectAbsent(d, before);
    }

    // After a rolled-back posting: the numbers are given back and no row is left.
    void expectAbsent(const Document& d, const Settings& before) {
        Settings now = readSettings(paths_.settings);
        if (!(now == before))
            throw Violation("After the rollback of document " + std::to_string(d.id) +
                            " the settings read " + describe(now) + " instead of " +
                            describe(before));
        Params p{{"id", d.id}};
        long long rows = count("SELECT COUNT(*) FROM FactOut WHERE IDFACTO = :id", p) +
                         count("SELECT COUNT(*) FROM ProdOut WHERE IDFACTO = :id", p) +
                         count("SELECT COUNT(*) FROM Fise WHERE IDFACTO = :id", p);
        if (rows != 0)
            throw Violation("After the rollback of document " + std::to_string(d.id) + " " +
                            std::to_string(rows) + " of its rows are still seen");
    }

    void remove() {
        tables::ResultSet heads = db_.query("SELECT IDFACTO, DATA FROM FactOut");
        if (heads.empty()) return post();
        size_t row = static_cast<size_t>(uniform(0, static_cast<int>(heads.rowCount()) - 1));
        Intent intent;
        intent.seq = ++seq_;
        intent.kind = Intent::Remove;
        Document& d = intent.doc;
        d.id = heads.at(row, 0).number().toLongLong();
        d.date = heads.at(row, 1).toString();
        Params p{{"id", d.id}};
        tables::ResultSet lines = db_.query(
            "SELECT IDCAP, CANT, PRET FROM ProdOut WHERE IDFACTO = :id ORDER BY NRLIN", p);
        for (size_t i = 0; i < lines.rowCount(); ++i)
            d.lines.push_back(Line{static_cast<int>(lines.at(i, 0).number().toLongLong()),
                                   lines.at(i, 1).number(), lines.at(i, 2).number()});
        tables::ResultSet moves = db_.query(
            "SELECT IDFISA, IDCAP, CANTOUT FROM Fise WHERE IDFACTO = :id ORDER BY IDFISA", p);
        d.fisa0 = moves.empty() ? 0 : moves.at(0, 0).number().toLongLong();
        Settings before = readSettings(paths_.settings);
        Settings after = before;
        after.lastDel = d.id;

        std::vector<Step> steps;
        steps.push_back([&] {
            db_.protectFile(paths_.settings);
            writeSettings(paths_.settings, after);
        });
        steps.push_back([&] { db_.execute("DELETE FROM ProdOut WHERE IDFACTO = :id", p); });
        for (size_t i = 0; i < moves.rowCount(); ++i) {
            steps.push_back([&, i] {
                moveStock(static_cast<int>(moves.at(i, 1).number().toLongLong()),
                          moves.at(i, 2).number(), true);
            });
            steps.push_back([&, i] {
                db_.execute("DELETE FROM Fise WHERE IDFISA = :f", {{"f", moves.at(i, 0)}});
            });
        }
        steps.push_back([&] { db_.execute("DELETE FROM FactOut WHERE IDFACTO = :id", p); });
        send("B " + encodeIntent(intent));
        bool committed = transact(steps, pickFate(80));
        send((committed ? "C " : "R ") + std::to_string(intent.seq));
        if (!committed && count("SELECT COUNT(*) FROM FactOut WHERE IDFACTO = :id", p) != 1)
            throw Violation("After the rolled-back removal of document " + std::to_string(d.id) +
                            " its header is not seen");
    }

    // Table maintenance: a committed pack, or changes of whole files that are undone.
    void maintain() {
        fs::path table = randomTable();
        std::string name = table.stem().string();
        Intent intent;
        intent.seq = ++seq_;
        intent.kind = Intent::Maintenance;
        std::vector<Step> steps;
        Fate fate;
        switch (uniform(0, 3)) {
            case 0:
                intent.note = "pack " + name;
                steps.push_back([&] { db_.pack(table); });
                fate = Fate::Commit;
                break;
            case 1:
                intent.note = "pack and empty " + name + ", undone";
                steps.push_back([&] { db_.pack(table); });
                steps.push_back([&] { db_.execute("DELETE FROM " + name); });
                steps.push_back([&] { db_.execute("UPDATE CapFise SET NRREC = NRREC + 1000"); });
                steps.push_back([&] { db_.pack(table); });
                fate = pickFate(0);
                break;
            case 2:
                intent.note = "add column ZZTMP to " + name + ", undone";
                steps.push_back([&] { db_.execute("ALTER TABLE " + name + " ADD ZZTMP CHAR(6)"); });
                steps.push_back([&] { db_.execute("UPDATE " + name + " SET ZZTMP = 'junk'"); });
                steps.push_back([&] { db_.pack(table); });
                steps.push_back(
                    [&] { db_.execute("UPDATE Fise SET CANTOUT = CANTOUT + 1 WHERE IDCAP < 4"); });
                fate = pickFate(0);
                break;
            default:
                intent.note = "scratch table, undone";
                steps.push_back([&] {
                    db_.execute("CREATE TABLE ZzScratch (IDCAP DECIMAL(6,0), NOTE CHAR(20))");
                });
                steps.push_back([&] {
                    db_.execute("INSERT INTO ZzScratch (IDCAP, NOTE) VALUES (1, 'must vanish')");
                });
                steps.push_back([&] {
                    db_.execute(
                        "INSERT INTO Fise (IDFISA, IDFACTO, IDCAP, CANTOUT) VALUES (0, 0, 1, 5)");
                });
                steps.push_back([&] { db_.execute("ALTER TABLE CapFise ADD ZZTMP DECIMAL(4,0)"); });
                fate = pickFate(0);
                break;
        }
        send("B " + encodeIntent(intent));
        bool committed = transact(steps, fate);
        send((committed ? "C " : "R ") + std::to_string(intent.seq));
        if (!committed) checkCoherence();
    }

    // Reads the data back inside this process: stock cards agree with the movements, the
    // tables have their own fields only, the scratch table does not exist.
    void checkCoherence() {
        for (const auto& file : tableFiles(paths_)) {
            std::vector<std::string> expected = expectedLayout(file, paths_);
            size_t fields = db_.table(file).fields().size();
            if (fields != expected.size())
                throw Violation("Table " + file.filename().string() + " has " +
                                std::to_string(fields) + " fields instead of " +
                                std::to_string(expected.size()));
        }
        if (db_.tableExists(paths_.scratch))
            throw Violation("The scratch table exists after its creation was rolled back");
        tables::ResultSet cards = db_.query(
            "SELECT C.IDCAP, C.STOC, C.NRREC, (SELECT SUM(F.CANTOUT) FROM Fise F WHERE F.IDCAP = "
            "C.IDCAP), "
            "(SELECT COUNT(*) FROM Fise F WHERE F.IDCAP = C.IDCAP) FROM CapFise C ORDER BY 1");
        if (cards.rowCount() != static_cast<size_t>(kItems))
            throw Violation("CapFise has " + std::to_string(cards.rowCount()) + " cards");
        for (size_t i = 0; i < cards.rowCount(); ++i) {
            int id = static_cast<int>(cards.at(i, 0).number().toLongLong());
            Decimal moved = cards.at(i, 3).isNull() ? Decimal(0) : cards.at(i, 3).number();
            if (cards.at(i, 1).number() != initialStock(id) - moved ||
                cards.at(i, 2).number() != cards.at(i, 4).number())
                throw Violation("Stock card " + std::to_string(id) + " reads STOC " +
                                cards.at(i, 1).toString() + " NRREC " + cards.at(i, 2).toString() +
                                " against movements of " + moved.toString() + " in " +
                                cards.at(i, 4).toString() + " rows");
        }
    }

    const Paths& paths_;
    Database db_;
    std::mt19937_64 rng_;
    int fd_;
    long long seq_ = 0;
    int sinceCheck_ = 0;
};

}  // namespace

void runWorkload(const Paths& paths, uint64_t seed, int reportFd) {
    auto fail = [&](const std::string& what) {
        std::string line = "E " + what + "\n";
        for (char& c : line)
            if (c == '\n' && &c != &line.back()) c = ' ';
        [[maybe_unused]] ssize_t n = ::write(reportFd, line.data(), line.size());
        ::_exit(3);
    };
    try {
        Writer writer(paths, seed, reportFd);
        writer.run();
    } catch (const Violation& v) {
        fail(std::string("the child reads wrong data: ") + v.what());
    } catch (const std::exception& e) {
        fail(std::string("unexpected error in the child: ") + e.what());
    }
    fail("the child stopped");
    ::_exit(3);
}

}  // namespace tvx::crash

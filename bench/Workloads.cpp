// Statements of the workloads. Table names are {Name} placeholders the backend fills in;
// literals use single quotes, which both dialects read as text.
#include "Workloads.h"

#include "core/common/TableLayouts.h"
#include "core/stock/Inventory.h"

namespace tvx::bench {

namespace {

using tables::Value;
using Clock = std::chrono::steady_clock;

const std::string kInsertInvoice =
    "INSERT INTO {FactOut} (IDFACTO, SERIA, NR, DATAOUT, TVAPROC, SOC, RJ, CUI, ADRESA, JUD, "
    "CAPITAL, BANCA, CONT, SOC2, RJ2, CUI2, ADRESA2, JUD2, LOC2, BANCA2, CONT2, DELEG, REPREZ, "
    "MIJT, DATALIV, OPERAT, TVATOT, VALTOT, TOTAL, REST, DATASCAD, OBS, GESTIUNE, LISTARI) "
    "VALUES (:IDFACTO, :SERIA, :NR, :DATAOUT, :TVAPROC, :SOC, :RJ, :CUI, :ADRESA, :JUD, "
    ":CAPITAL, :BANCA, :CONT, :SOC2, :RJ2, :CUI2, :ADRESA2, :JUD2, :LOC2, :BANCA2, :CONT2, "
    ":DELEG, :REPREZ, :MIJT, :DATALIV, :OPERAT, :TVATOT, :VALTOT, :TOTAL, :REST, :DATASCAD, "
    ":OBS, :GESTIUNE, 0)";
const std::string kInsertLine =
    "INSERT INTO {ProdOut} (IDFACTO, IDFISA, IDCAP, NRCRT, PRODUS, UM, CANT, PRETOUT, VALOUT, "
    "VALTVA, OBS, GARANTIE, IDCAT) VALUES (:IDFACTO, :IDFISA, :IDCAP, :NRCRT, :PRODUS, :UM, "
    ":CANT, :PRETOUT, :VALOUT, :VALTVA, :OBS, :GARANTIE, :IDCAT)";
const std::string kTakeStock =
    "UPDATE {CapFise} SET STOC=STOC-:CANT, NRREC=NRREC+1 WHERE IDCAP=:IDCAP";
const std::string kInsertMovement =
    "INSERT INTO {Fise} (IDFISA, IDCAP, TIP, DOCJUS, NRDOC, DINDATA, CANTIN, CANTOUT, VALIN, "
    "VALOUT) VALUES (:IDFISA, :IDCAP, 'VANZARE', :DOCJUS, :NRDOC, :DINDATA, :CANTIN, :CANTOUT, "
    ":VALIN, :VALOUT)";

const std::string kInvoiceList = "SELECT * FROM {FactOut} ORDER BY GESTIUNE, DATAOUT, IDFACTO";
const std::string kProductCard =
    "SELECT F.IDCAP, F.IDFISA, F.TIP, F.DOCJUS, F.NRDOC, F.DINDATA, F.CANTIN, F.CANTOUT, "
    "F.VALIN, F.VALOUT, C.GESTIUNE, C.PRODUS, C.UM FROM {Fise} F JOIN {CapFise} C "
    "ON F.IDCAP=C.IDCAP WHERE C.GESTIUNE=:GESTIUNE AND C.PRODUS=:PRODUS "
    "ORDER BY C.GESTIUNE, C.PRODUS, F.DINDATA, F.IDFISA";

const std::string kFindLot =
    "SELECT IDCAP FROM {CapFise} WHERE GESTIUNE=:GESTIUNE AND PRODUS=:PRODUS AND UM=:UM "
    "AND PRETIN=:PRETIN AND PRETOUT=:PRETOUT";

const std::string kPurchaseJournal =
    "INSERT INTO {Cumparari} (SERIANR, DATAIN, FURNIZOR, CUI, TOTAL, VALT, CATEG, VALOARE, "
    "VALTVA) SELECT F.SERIANR, F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG, "
    "SUM(P.VALOARE), SUM(P.VALTVA) FROM {FactIn} F LEFT JOIN {CapNIR} C ON C.IDFACT=F.IDFACT "
    "LEFT JOIN {ProdNIR} P ON P.IDNIR=C.IDNIR WHERE F.DATAIN>=:F AND F.DATAIN<=:T "
    "GROUP BY F.SERIANR, F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG";

const std::vector<std::string> kActivitySummary = {
    "SELECT SUM(VALOARE) AS S FROM {FactIn} WHERE DATAIN>=:F AND DATAIN<=:T",
    "SELECT SUM(TOTAL) AS S FROM {FactIn} WHERE DATAIN>=:F AND DATAIN<=:T",
    "SELECT SUM(REST) AS S FROM {FactIn}",
    "SELECT SUM(PLATIT) AS S FROM {ChitIn} WHERE DATAC>=:F AND DATAC<=:T",
    "SELECT P.CATEG, SUM(P.VALAT) AS T1 FROM {ProdNIR} P, {CapNIR} C WHERE P.IDNIR=C.IDNIR "
    "AND C.DATANIR>=:F AND C.DATANIR<=:T GROUP BY P.CATEG ORDER BY P.CATEG",
    "SELECT SUM(STOC*PRETOUT) AS S FROM {CapFise}",
    "SELECT SUM(VALTOT) AS S1, SUM(TVATOT) AS S2 FROM {FactOut} WHERE DATAOUT>=:F AND "
    "DATAOUT<=:T",
    "SELECT SUM(REST) AS S FROM {FactOut}",
    "SELECT SUM(P.VALOUT) AS S1, SUM(P.VALTVA) AS S2 FROM {ProdOut} P, {FactOut} F "
    "WHERE P.IDFACTO=F.IDFACTO AND F.DATAOUT>=:F AND F.DATAOUT<=:T AND P.IDFISA>=0",
    "SELECT SUM(P.VALOUT) AS S1, SUM(P.VALTVA) AS S2 FROM {ProdOut} P, {FactOut} F "
    "WHERE P.IDFACTO=F.IDFACTO AND F.DATAOUT>=:F AND F.DATAOUT<=:T AND P.IDFISA=-1",
    "SELECT SUM(SUMA) AS S FROM {ChitOut} WHERE DATAOUT>=:F AND DATAOUT<=:T",
};

const std::string kDeclaration394 =
    "SELECT SOC2, CUI2, COUNT(*) AS COUNTF, SUM(TOTAL) AS TOT FROM {FactOut} "
    "WHERE DATAOUT>=:F AND DATAOUT<=:T GROUP BY SOC2, CUI2 ORDER BY SOC2, CUI2";

const std::string kRecalcPackaging =
    "UPDATE {CapNIR} SET VAF=(SELECT SUM(P.VALOARE) FROM {ProdNIR} P WHERE P.IDNIR=:IDNIR "
    "AND P.CATEG='AMBALAJ') WHERE IDNIR=:IDNIR";
const std::string kRecalcGoods =
    "UPDATE {CapNIR} SET "
    "VMF=(SELECT SUM(P.VALOARE) FROM {ProdNIR} P WHERE P.IDNIR=:IDNIR AND P.CATEG='MARFA'), "
    "VAC=(SELECT SUM(P.VALA)-SUM(P.VALOARE) FROM {ProdNIR} P WHERE P.IDNIR=:IDNIR "
    "AND P.CATEG='MARFA'), "
    "VTN=(SELECT SUM(P.VALAT)-SUM(P.VALA) FROM {ProdNIR} P WHERE P.IDNIR=:IDNIR "
    "AND P.CATEG='MARFA'), "
    "TOTAL=(SELECT SUM(P.VALAT) FROM {ProdNIR} P WHERE P.IDNIR=:IDNIR AND P.CATEG='MARFA') "
    "WHERE IDNIR=:IDNIR";

void add(ReadTotals& to, const ReadTotals& r) {
    to.rows += r.rows;
    to.cells += r.cells;
    to.checksum += r.checksum;
}

// Times one part of a workload into `run`.
template <typename F>
void part(WorkloadRun& run, const std::string& name, F&& body) {
    const auto start = Clock::now();
    body();
    run.parts.push_back({name, microsSince(start)});
}

Value money(const Decimal& d) {
    return Value(d);
}

}  // namespace

WorkloadRun runPosting(Backend& db, const Inputs& in, int rep) {
    WorkloadRun run;
    const long long count = static_cast<long long>(in.invoices.size());
    const Date date = in.postingDate;
    const Value delivery(
        Decimal::fromUnits(static_cast<__int128>(date.toSerial()) * 1000000 + 500000, 6));
    part(run, "post", [&] {
        long long movement = in.firstMovementId;
        for (long long i = 0; i < rep * count; ++i)
            movement +=
                static_cast<long long>(in.invoices[static_cast<size_t>(i % count)].lines.size());
        for (long long i = 0; i < count; ++i) {
            const InvoiceInput& inv = in.invoices[static_cast<size_t>(i)];
            const long long id = in.firstInvoiceId + rep * count + i;
            const long long number = in.firstInvoiceNumber + rep * count + i;
            db.begin();
            Params header = {{"IDFACTO", Value(id)},
                             {"SERIA", Value("TVX")},
                             {"NR", Value(number)},
                             {"DATAOUT", Value(date)},
                             {"TVAPROC", Value(19)},
                             {"SOC", Value("SC TARVIX COMERT SRL")},
                             {"RJ", Value("J12/3456/2010")},
                             {"CUI", Value("RO27654321")},
                             {"ADRESA", Value("CLUJ-NAPOCA STR. HOREA NR. 12")},
                             {"JUD", Value("CLUJ")},
                             {"CAPITAL", Value(200)},
                             {"BANCA", Value("BANCA TRANSILVANIA")},
                             {"CONT", Value("RO49BTRL01301202925689XX")},
                             {"DELEG", Value(inv.buyer[0])},
                             {"REPREZ", Value("")},
                             {"MIJT", Value("")},
                             {"DATALIV", delivery},
                             {"OPERAT", Value("POPESCU ANA")},
                             {"TVATOT", money(inv.vat)},
                             {"VALTOT", money(inv.value)},
                             {"TOTAL", money(inv.total)},
                             {"REST", money(inv.total)},
                             {"DATASCAD", Value(date.addDays(30))},
                             {"OBS", Value("")},
                             {"GESTIUNE", Value(inv.location)}};
            static const char* const kBuyer[] = {"SOC2", "RJ2",  "CUI2",   "ADRESA2",
                                                 "JUD2", "LOC2", "BANCA2", "CONT2"};
            for (size_t b = 0; b < 8; ++b) header.emplace(kBuyer[b], Value(inv.buyer[b]));
            run.affected += db.execute(kInsertInvoice, header);
            int position = 0;
            for (const InvoiceLineInput& line : inv.lines) {
                const long long fisa = movement++;
                run.affected += db.execute(kInsertLine, {{"IDFACTO", Value(id)},
                                                         {"IDFISA", Value(fisa)},
                                                         {"IDCAP", Value(line.card)},
                                                         {"NRCRT", Value(++position)},
                                                         {"PRODUS", Value(line.product)},
                                                         {"UM", Value(line.unit)},
                                                         {"CANT", money(line.qty)},
                                                         {"PRETOUT", money(line.price)},
                                                         {"VALOUT", money(line.value)},
                                                         {"VALTVA", money(line.vat)},
                                                         {"OBS", Value("")},
                                                         {"GARANTIE", Value()},
                                                         {"IDCAT", Value(0)}});
                run.affected += db.execute(
                    kTakeStock, {{"CANT", money(line.qty)}, {"IDCAP", Value(line.card)}});
                run.affected +=
                    db.execute(kInsertMovement, {{"IDFISA", Value(fisa)},
                                                 {"IDCAP", Value(line.card)},
                                                 {"DOCJUS", Value("FACTURA TVX")},
                                                 {"NRDOC", Value(number)},
                                                 {"DINDATA", Value(date)},
                                                 {"CANTIN", money(Decimal(0).rescaled(2))},
                                                 {"CANTOUT", money(line.qty)},
                                                 {"VALIN", money(Decimal(0).rescaled(2))},
                                                 {"VALOUT", money(line.value + line.vat)}});
            }
            db.commit();
        }
    });
    return run;
}

WorkloadRun runLists(Backend& db, const Inputs& in) {
    WorkloadRun run;
    part(run, "invoice list", [&] { add(run.read, db.query(kInvoiceList)); });
    part(run, "product cards", [&] {
        for (const auto& [location, product] : in.productCards)
            add(run.read, db.query(kProductCard,
                                   {{"GESTIUNE", Value(location)}, {"PRODUS", Value(product)}}));
    });
    // The warehouse window opened on one location: its product list and its stock rows.
    part(run, "warehouse of a location", [&] {
        if (in.productCards.empty()) return;
        const core::InventoryStatement stock =
            core::BuildInventoryStatement("{CapFise}", {.location = in.productCards[0].first});
        add(run.read, db.query("SELECT DISTINCT PRODUS FROM {CapFise} ORDER BY PRODUS"));
        add(run.read, db.query(stock.sql, stock.params));
    });
    return run;
}

WorkloadRun runLookups(Backend& db, const Inputs& in) {
    WorkloadRun run;
    part(run, "lot look-ups", [&] {
        for (const LotKeyInput& k : in.lots)
            add(run.read, db.query(kFindLot, {{"GESTIUNE", Value(k.location)},
                                              {"PRODUS", Value(k.product)},
                                              {"UM", Value(k.unit)},
                                              {"PRETIN", Value(k.pretin)},
                                              {"PRETOUT", Value(k.pretout)}}));
    });
    part(run, "card updates", [&] {
        db.begin();
        for (const auto& [id, qty] : in.stockUpdates)
            run.affected += db.execute(kTakeStock, {{"CANT", Value(qty)}, {"IDCAP", Value(id)}});
        db.commit();
    });
    return run;
}

WorkloadRun runReports(Backend& db, const Inputs& in) {
    WorkloadRun run;
    const Params period = {{"F", Value(in.from)}, {"T", Value(in.to)}};
    const core::TableLayout& journal = core::tableLayout("Cumparari");
    part(run, "purchase journal", [&] {
        db.createWorkTable(journal);
        run.affected += db.execute(kPurchaseJournal, period);
        add(run.read, db.query("SELECT * FROM {Cumparari}"));
        db.dropWorkTable(journal);
    });
    part(run, "activity summary", [&] {
        for (const auto& sql : kActivitySummary) {
            Params p;
            if (sql.find(":F") != std::string::npos) p = period;
            add(run.read, db.query(sql, p));
        }
    });
    part(run, "declaration 394", [&] { add(run.read, db.query(kDeclaration394, period)); });
    part(run, "NIR totals", [&] {
        db.begin();
        for (long long note : in.notes) {
            const Params p = {{"IDNIR", Value(note)}};
            run.affected += db.execute(kRecalcPackaging, p);
            run.affected += db.execute(kRecalcGoods, p);
        }
        db.commit();
    });
    return run;
}

WorkloadRun runFirstQueries(Backend& db, const Inputs& in) {
    WorkloadRun run;
    for (const auto& last : in.lastIds) {
        part(run, last.table, [&] {
            add(run.read,
                db.query("SELECT * FROM {" + last.table + "} WHERE " + last.field + "=:ID",
                         {{"ID", Value(last.id)}}));
        });
    }
    return run;
}

WorkloadRun runWarmUp(Backend& db, const Inputs& in) {
    // Reads only: the source directory stays as the workloads expect it.
    WorkloadRun run = runLists(db, in);
    add(run.read, runFirstQueries(db, in).read);
    const Params period = {{"F", Value(in.from)}, {"T", Value(in.to)}};
    for (const auto& sql : kActivitySummary)
        add(run.read, db.query(sql, sql.find(":F") != std::string::npos ? period : Params{}));
    add(run.read, db.query(kDeclaration394, period));
    if (!in.lots.empty()) {
        const LotKeyInput& k = in.lots.front();
        add(run.read, db.query(kFindLot, {{"GESTIUNE", Value(k.location)},
                                          {"PRODUS", Value(k.product)},
                                          {"UM", Value(k.unit)},
                                          {"PRETIN", Value(k.pretin)},
                                          {"PRETOUT", Value(k.pretout)}}));
    }
    if (!in.stockUpdates.empty())
        add(run.read, db.query("SELECT * FROM {CapFise} WHERE IDCAP=:ID",
                               {{"ID", Value(in.stockUpdates.front().first)}}));
    if (!in.notes.empty()) {
        const Params note = {{"ID", Value(in.notes.front())}};
        add(run.read, db.query("SELECT * FROM {CapNIR} WHERE IDNIR=:ID", note));
        add(run.read, db.query("SELECT * FROM {ProdNIR} WHERE IDNIR=:ID", note));
    }
    return run;
}

}  // namespace tvx::bench

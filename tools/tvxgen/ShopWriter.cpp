// One function per table, each filling the table's rows from the model in identifier order.
#include "ShopWriter.h"

#include <functional>

#include "TableWriter.h"
#include "core/common/TableLayouts.h"

namespace tvx::gen {

namespace {

using tables::Value;

Value opt(const std::optional<Decimal>& d) {
    return d ? Value(*d) : Value();
}
Value opt(const std::optional<Date>& d) {
    return d ? Value(*d) : Value();
}
Value id(long long n) {
    return Value(n);
}

const char* tipOf(MoveKind kind) {
    switch (kind) {
        case MoveKind::Entry:
            return "INTRARE";
        case MoveKind::Sale:
            return "VANZARE";
        case MoveKind::Exit:
            return "IESIRE";
        case MoveKind::Transfer:
            return "TRANSFER";
    }
    return "";
}

struct Context {
    tables::Database& db;
    const ShopModel& m;
    Random rng;
    const Product& productOfCard(size_t card) const {
        return m.products[static_cast<size_t>(m.cards[card].product)];
    }
};

void conturi(TableWriter& w, Context& c) {
    for (size_t i = 0; i < c.m.accounts.size(); ++i) {
        w.row()
            .set("IDCONT", id(static_cast<long long>(i) + 1))
            .set("CONT", c.m.accounts[i])
            .set("BANCA", c.m.accountBanks[i]);
        w.append();
    }
}

void factIn(TableWriter& w, Context& c) {
    for (const IncomingDoc& d : c.m.docs) {
        const Party& s = c.m.suppliers[static_cast<size_t>(d.supplier)].party;
        w.row()
            .set("IDFACT", id(d.id))
            .set("NUMEFACT", d.kind)
            .set("SERIANR", d.number)
            .set("DATAIN", d.date)
            .set("FURNIZOR", s.name)
            .set("CUI", s.taxCode)
            .set("BANCA", s.bank)
            .set("CONT", s.account)
            .set("DATASCAD", d.due)
            .set("VALOARE", d.value)
            .set("TVAPROC", id(d.vat))
            .set("TOTAL", d.total)
            .set("REST", d.rest);
        w.append();
    }
}

void chitIn(TableWriter& w, Context& c) {
    for (const Payment& p : c.m.payments) {
        w.row()
            .set("IDCHIT", id(p.id))
            .set("IDFACT", id(p.doc))
            .set("DOCJUS", p.kind)
            .set("SERIANR", p.number)
            .set("DATAC", p.date)
            .set("FURNIZOR", p.payee)
            .set("PLATIT", p.amount)
            .set("INCLTVA", p.vat)
            .set("REPREZ", p.remark);
        w.append();
    }
}

void capNir(TableWriter& w, Context& c) {
    for (const Note& n : c.m.notes) {
        const IncomingDoc& d = c.m.docs[n.doc];
        w.row()
            .set("IDNIR", id(n.id))
            .set("NRNIR", id(n.number))
            .set("DATANIR", n.date)
            .set("IDFACT", id(d.id))
            .set("NUMEFACT", d.kind)
            .set("SERIENR", d.number)
            .set("DATAFACT", d.date)
            .set("FURNIZOR", c.m.suppliers[static_cast<size_t>(d.supplier)].party.name)
            .set("TVAPROC", id(d.vat))
            .set("DELEGAT", n.delegate)
            .set("RECEPTIO", n.receiver)
            .set("GESTIO", n.storekeeper)
            .set("VMF", opt(n.vmf))
            .set("VAF", opt(n.vaf))
            .set("VAC", opt(n.vac))
            .set("VTN", opt(n.vtn))
            .set("TOTAL", opt(n.total))
            .set("LISTAT", id(n.date.year() < 2025 ? 1 : 0));
        w.append();
    }
}

void prodNir(TableWriter& w, Context& c) {
    for (const NoteLine& l : c.m.noteLines) {
        const Card& card = c.m.cards[l.card];
        const Product& p = c.productOfCard(l.card);
        w.row()
            .set("IDPROD", id(l.id))
            .set("IDNIR", id(l.note))
            .set("IDCAP", id(card.id))
            .set("IDFISA", id(l.movement))
            .set("GESTIUNE", c.m.locations[static_cast<size_t>(l.location)])
            .set("CATEG", p.text.category)
            .set("PRODUS", p.text.name)
            .set("UM", p.text.um)
            .set("CANTF", l.qtyInvoiced)
            .set("CANTR", l.qty)
            .set("PRETU", l.pretu)
            .set("VALOARE", l.value)
            .set("VALTVA", l.vat)
            .set("TOTALF", l.totalInvoiced)
            .set("PRETA", l.preta)
            .set("VALA", l.valueA)
            .set("PRETAT", l.pretat)
            .set("VALAT", l.valueAT)
            .set("CODBARE", p.barcode)
            .set("GARANTIE", opt(l.warranty))
            .set("ADAOS", Decimal(card.markup).rescaled(2));
        w.append();
    }
}

void capFise(TableWriter& w, Context& c) {
    for (size_t i = 0; i < c.m.cards.size(); ++i) {
        const Card& card = c.m.cards[i];
        const Product& p = c.productOfCard(i);
        w.row()
            .set("IDCAP", id(card.id))
            .set("GESTIUNE", c.m.locations[static_cast<size_t>(card.location)])
            .set("CATEG", p.text.category)
            .set("PRODUS", p.text.name)
            .set("UM", p.text.um)
            .set("PRETIN", card.pretin)
            .set("PRETOUT", card.pretout)
            .set("STOC", card.stock)
            .set("CODBARE", card.barcoded ? p.barcode : std::string())
            .set("NRREC", id(card.movements));
        w.append();
    }
}

void fise(TableWriter& w, Context& c) {
    for (const Movement& mv : c.m.movements) {
        w.row()
            .set("IDFISA", id(mv.id))
            .set("IDCAP", id(mv.card))
            .set("TIP", tipOf(mv.kind))
            .set("DOCJUS", c.m.documentNames[static_cast<size_t>(mv.document)])
            .set("NRDOC", id(mv.number))
            .set("DINDATA", mv.date)
            .set("CANTIN", mv.qtyIn)
            .set("CANTOUT", mv.qtyOut)
            .set("VALIN", mv.valueIn)
            .set("VALOUT", mv.valueOut);
        w.append();
    }
}

void factOut(TableWriter& w, Context& c) {
    const Party& self = c.m.self;
    for (const Invoice& inv : c.m.invoices) {
        const Party& b = c.m.clients[static_cast<size_t>(inv.client)].party;
        w.row()
            .set("IDFACTO", id(inv.id))
            .set("SERIA", inv.series)
            .set("NR", id(inv.number))
            .set("DATAOUT", inv.date)
            .set("TVAPROC", id(inv.vat))
            .set("SOC", self.name)
            .set("RJ", self.tradeRegister)
            .set("CUI", self.taxCode)
            .set("ADRESA", self.place.locality + " " + self.address)
            .set("JUD", self.place.county)
            .set("BANCA", c.m.accountBanks[0])
            .set("CONT", c.m.accounts[0])
            .set("CAPITAL", id(200))
            .set("SOC2", b.name)
            .set("RJ2", b.tradeRegister)
            .set("CUI2", b.taxCode)
            .set("ADRESA2", b.address)
            .set("JUD2", b.place.county)
            .set("LOC2", b.place.locality)
            .set("BANCA2", b.bank)
            .set("CONT2", b.account)
            .set("DELEG", inv.delegate)
            .set("MIJT", inv.transport)
            .set("DATALIV", inv.delivery)
            .set("OPERAT", inv.issuedBy)
            .set("REPREZ", inv.agent)
            .set("TVATOT", inv.vatTotal)
            .set("VALTOT", inv.value)
            .set("TOTAL", inv.total)
            .set("REST", inv.rest)
            .set("DATASCAD", inv.due)
            .set("OBS", inv.remarks)
            .set("GESTIUNE", c.m.locations[static_cast<size_t>(inv.location)])
            .set("LISTARI", id(inv.printed));
        w.append();
    }
}

void prodOut(TableWriter& w, Context& c) {
    for (const InvoiceLine& l : c.m.invoiceLines) {
        w.row()
            .set("IDFACTO", id(l.invoice))
            .set("IDFISA", id(l.movement))
            .set("IDCAP", id(l.card))
            .set("NRCRT", id(l.position))
            .set("CANT", l.qty)
            .set("PRETOUT", l.price)
            .set("VALOUT", l.value)
            .set("VALTVA", l.vat)
            .set("GARANTIE", opt(l.warranty));
        if (l.service >= 0) {
            const Service& s = c.m.services[static_cast<size_t>(l.service)];
            w.set("PRODUS", s.text.name).set("UM", s.text.um).set("IDCAT", id(s.id));
        } else {
            const Product& p = c.m.products[static_cast<size_t>(l.product)];
            w.set("PRODUS", p.text.name).set("UM", p.text.um).set("IDCAT", id(0));
        }
        w.append();
    }
}

void catalog(TableWriter& w, Context& c) {
    for (const Service& s : c.m.services) {
        w.row()
            .set("IDCAT", id(s.id))
            .set("GRUPA", s.text.group)
            .set("SUBGRUPA", s.text.subgroup)
            .set("CATEG", "SERVICII")
            .set("PRODUS", s.text.name)
            .set("UM", s.text.um)
            .set("VALOUT", s.price);
        w.append();
    }
}

void chitOut(TableWriter& w, Context& c) {
    for (const Receipt& r : c.m.receipts) {
        w.row()
            .set("IDCHIT", id(r.id))
            .set("IDFACTO", id(r.invoice))
            .set("DOCJUS", r.kind)
            .set("SERIA", r.series)
            .set("NR", id(r.number))
            .set("DATAOUT", r.date)
            .set("SUMA", r.amount)
            .set("INCLTVA", r.vat)
            .set("REPREZ", r.remark);
        w.append();
    }
}

void comenzi(TableWriter& w, Context& c) {
    for (const Invoice& inv : c.m.invoices) {
        if (inv.serviceOrder == 0) continue;
        w.row()
            .set("IDFACTO", id(inv.id))
            .set("NR", id(inv.serviceOrder))
            .set("DINDATA", inv.date)
            .set("AUTOTIP", inv.car)
            .set("NRCIRC", inv.plate)
            .set("STARE", inv.state);
        w.append();
    }
}

void timp(TableWriter& w, Context& c) {
    static const std::vector<std::string> kSections = {"MECANICA", "ELECTRICA", "TINICHIGERIE",
                                                       "VOPSITORIE", "VULCANIZARE"};
    for (long long i = 0; i < c.m.volumes.timeNorms; ++i) {
        const ServiceName s = serviceName(static_cast<size_t>(i));
        w.row()
            .set("IDTIMP", id(i + 1))
            .set("TIPAUTO", carModel(c.rng))
            .set("SECTIA", c.rng.pick(kSections))
            .set("DENUMIRE", s.name)
            .set("COD", "OP" + std::to_string(1000 + i))
            .set("TIMP", Decimal::fromUnits(c.rng.between(2, 40) * 25, 2))
            .set("LEIORA", Decimal(c.rng.between(80, 160)).rescaled(2))
            .set("CANT", Decimal(1).rescaled(2));
        w.append();
    }
}

void precom(TableWriter& w, Context& c) {
    static const std::vector<std::string> kWork = {
        "SCHIMB ULEI SI FILTRE", "VERIFICARE FRANE",  "ZGOMOT LA PUNTEA FATA",
        "DIAGNOZA MARTOR MOTOR", "INLOCUIRE PLACUTE", "VERIFICARE CLIMA",
        "GEOMETRIE ROTI",        "REVIZIE GENERALA",  "VERIFICARE TREN RULARE"};
    const int first = c.m.first.dayNumber(), last = c.m.last.dayNumber();
    for (long long i = 0; i < c.m.volumes.preOrders; ++i) {
        const Party client = c.rng.chance(500) ? company(c.rng, true) : person(c.rng);
        const int day = first + static_cast<int>((static_cast<long long>(last - first) * i) /
                                                 c.m.volumes.preOrders);
        const Date date = Date::fromDayNumber(day);
        const long long reception =
            static_cast<long long>(date.toSerial()) * 10000 + c.rng.between(3400, 7500);
        std::string vin = "UU1";
        for (int k = 0; k < 14; ++k) vin += static_cast<char>('A' + c.rng.below(26));
        w.row()
            .set("IDCOM", id(i + 1))
            .set("NRCOM", id(i + 1))
            .set("DATACOM", date)
            .set("CLIENT", client.name)
            .set("ADRESA", client.place.locality + " " + client.address)
            .set("TELEFON", "07" + std::to_string(c.rng.between(20000000, 99999999)))
            .set("CF", client.taxCode)
            .set("RC", client.tradeRegister)
            .set("CONT", client.account)
            .set("BANCA", client.bank)
            .set("INMATRIC", plate(c.rng, client.place))
            .set("SASIU", vin)
            .set("MODEL", carModel(c.rng))
            .set("RECEPTIE", Decimal::fromUnits(reception, 4))
            .set("KM", id(c.rng.between(5000, 350000)))
            .set("MOTOR", c.rng.chance(500) ? "DIESEL 1.5 DCI" : "BENZINA 1.6")
            .set("RECEPOM", personName(c.rng))
            .set("FILIALA", "SERVICE AUTO")
            .set("TERMEN", Decimal::fromUnits(reception + 10000 * c.rng.between(0, 3), 4))
            .set("NIVEL", c.rng.pick(std::vector<std::string>{"1/4", "1/2", "3/4", "PLIN"}));
        const long long lines = c.rng.between(1, 5);
        for (long long k = 1; k <= lines; ++k)
            w.set("LINIA" + std::to_string(k), c.rng.pick(kWork));
        for (int k = 1; k <= 5; ++k)
            if (c.rng.chance(300)) w.set("V" + std::to_string(k), "X");
        w.append();
    }
}

}  // namespace

GeneratorStats writeShop(tables::Database& db, const ShopModel& shop, uint64_t seed) {
    Context c{db, shop, Random(seed ^ 0x5EED5EEDULL)};
    const std::vector<std::pair<const char*, std::function<void(TableWriter&, Context&)>>> fillers =
        {{"Conturi", conturi}, {"FactIn", factIn},   {"ChitIn", chitIn},   {"CapNIR", capNir},
         {"ProdNIR", prodNir}, {"CapFise", capFise}, {"Fise", fise},       {"FactOut", factOut},
         {"ProdOut", prodOut}, {"Catalog", catalog}, {"ChitOut", chitOut}, {"Comenzi", comenzi},
         {"Timp", timp},       {"Precom", precom}};
    GeneratorStats stats;
    for (const auto& [name, fill] : fillers) {
        TableWriter w(db, core::tableLayout(name));
        fill(w, c);
        stats.rows.emplace_back(name, w.rowCount());
    }
    return stats;
}

}  // namespace tvx::gen

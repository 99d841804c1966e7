// Money of the simulated shop: receipts of the sales invoices and payments of the incoming
// documents, the cash book's own entries, one IDCHIT counter over both in date order, and
// the amounts left to pay (REST) that follow from them.
#include <algorithm>
#include <tuple>

#include "ShopModel.h"

namespace tvx::gen {

Decimal money(const Decimal& value) {
    return value.rounded(2);
}

Decimal percentOf(const Decimal& value, int percent) {
    return (value * Decimal(percent) / Decimal(100)).rounded(2);
}

Decimal vatIncluded(const Decimal& gross, int rate) {
    return (gross * Decimal(rate) / Decimal(100 + rate)).rounded(2);
}

int randomWorkday(Random& rng, int from, int to) {
    int d = static_cast<int>(rng.between(from, to));
    if ((d + 4) % 7 == 0) d = d < to ? d + 1 : d - 1;  // no business on Sundays
    return d;
}

namespace {

Decimal cents(long long c) {
    return Decimal::fromUnits(c, 2);
}

Date dayAfter(Random& rng, Date from, int maxDays) {
    return from.addDays(static_cast<int>(rng.between(0, maxDays)));
}

}  // namespace

void settleMoney(ShopModel& shop, Random& rng) {
    const Date last = shop.last;
    const Decimal zero = Decimal(0).rescaled(2);
    std::vector<Receipt> receipts;
    for (const Invoice& inv : shop.invoices) {
        if (inv.total.sign() <= 0) continue;
        auto add = [&](Date date, const Decimal& amount, const std::string& kind) {
            if (date > last || amount.sign() <= 0) return;
            Receipt r;
            r.invoice = inv.id;
            r.kind = kind;
            r.date = date;
            r.amount = amount;
            r.vat = vatIncluded(amount, inv.vat);
            if (kind == "BON FISCAL") r.number = inv.number;
            if (kind == "CHITANTA") r.series = "TVXC";
            if (kind == "ORDIN DE PLATA") r.number = rng.between(1, 999);
            r.remark = "C/V FACTURA " + inv.series + " " + std::to_string(inv.number);
            receipts.push_back(std::move(r));
        };
        if (inv.fiscal) {
            add(inv.date, inv.total, "BON FISCAL");
            continue;
        }
        const std::string kind = rng.chance(550) ? "CHITANTA" : "ORDIN DE PLATA";
        const uint64_t k = rng.below(1000);
        if (k < 100) continue;  // still unpaid
        if (k < 250) {
            add(dayAfter(rng, inv.date, 45),
                percentOf(inv.total, static_cast<int>(rng.between(10, 90))), kind);
        } else if (k < 450) {
            const Decimal part = percentOf(inv.total, static_cast<int>(rng.between(20, 80)));
            const Date d1 = dayAfter(rng, inv.date, 30);
            add(d1, part, kind);
            add(dayAfter(rng, d1, 30), inv.total - part, kind);
        } else {
            add(dayAfter(rng, inv.date, 45), inv.total, kind);
        }
    }
    while (static_cast<long long>(receipts.size()) < shop.volumes.receipts) {
        Receipt r;
        r.kind = "CHITANTA";
        r.series = "TVXC";
        r.date = Date::fromDayNumber(randomWorkday(rng, shop.first.dayNumber(), last.dayNumber()));
        r.amount = cents(rng.between(1000, 200000));
        r.vat = vatIncluded(r.amount, shop.vatPayer ? 19 : 0);
        r.remark = rng.chance(500) ? "INCASARE DIVERSE" : "AVANS CLIENT";
        receipts.push_back(std::move(r));
    }

    std::vector<Payment> payments;
    for (const IncomingDoc& doc : shop.docs) {
        const std::string& payee = shop.suppliers[static_cast<size_t>(doc.supplier)].party.name;
        auto add = [&](Date date, const Decimal& amount, const std::string& kind) {
            if (date > last || amount.sign() <= 0) return;
            Payment p;
            p.doc = doc.id;
            p.kind = kind;
            p.number = kind == "BON FISCAL" ? doc.number
                                            : (kind == "CHITANTA" ? "CH " : "OP ") +
                                                  std::to_string(rng.between(1, 9999));
            p.payee = payee;
            p.date = date;
            p.amount = amount;
            p.vat = vatIncluded(amount, doc.vat);
            p.remark = "PLATA " + doc.kind + " " + doc.number;
            payments.push_back(std::move(p));
        };
        if (doc.kind == "BON FISCAL") {
            add(doc.date, doc.total, "BON FISCAL");
            continue;
        }
        const std::string kind = rng.chance(700) ? "ORDIN DE PLATA" : "CHITANTA";
        const uint64_t k = rng.below(1000);
        if (k < 100) continue;
        if (k < 150) {
            add(dayAfter(rng, doc.date, 40),
                percentOf(doc.total, static_cast<int>(rng.between(10, 90))), kind);
        } else if (k < 400) {
            const Decimal part = percentOf(doc.total, 50);
            const Date d1 = dayAfter(rng, doc.date, 30);
            add(d1, part, kind);
            add(dayAfter(rng, d1, 30), doc.total - part, kind);
        } else {
            add(dayAfter(rng, doc.date, 40), doc.total, kind);
        }
    }
    static const std::vector<std::string> kExpenses = {
        "CHIRIE SPATIU", "COMBUSTIBIL", "RECHIZITE BIROU", "TAXE POSTALE", "TRANSPORT MARFA"};
    while (static_cast<long long>(payments.size()) < shop.volumes.payments) {
        Payment p;
        p.kind = rng.chance(600) ? "CHITANTA" : "BON FISCAL";
        p.number = std::to_string(rng.between(1, 99999));
        p.payee = companyName(rng);
        p.date = Date::fromDayNumber(randomWorkday(rng, shop.first.dayNumber(), last.dayNumber()));
        p.amount = cents(rng.between(1000, 150000));
        p.vat = vatIncluded(p.amount, 19);
        p.remark = rng.pick(kExpenses);
        payments.push_back(std::move(p));
    }

    // One counter for both tables, in date order (receipts before payments on a day).
    struct Entry {
        int day;
        int table;
        size_t index;
        bool operator<(const Entry& o) const {
            return std::tie(day, table, index) < std::tie(o.day, o.table, o.index);
        }
    };
    std::vector<Entry> order;
    for (size_t i = 0; i < receipts.size(); ++i)
        order.push_back({receipts[i].date.dayNumber(), 0, i});
    for (size_t i = 0; i < payments.size(); ++i)
        order.push_back({payments[i].date.dayNumber(), 1, i});
    std::sort(order.begin(), order.end());
    long long id = 0, receiptNumber = 0;
    std::vector<Decimal> collected(shop.invoices.size(), zero), paid(shop.docs.size(), zero);
    for (const Entry& e : order) {
        if (e.table == 0) {
            Receipt r = std::move(receipts[e.index]);
            r.id = ++id;
            if (r.kind == "CHITANTA") r.number = ++receiptNumber;
            if (r.invoice > 0) collected[static_cast<size_t>(r.invoice - 1)] += r.amount;
            shop.receipts.push_back(std::move(r));
        } else {
            Payment p = std::move(payments[e.index]);
            p.id = ++id;
            if (p.doc > 0) paid[static_cast<size_t>(p.doc - 1)] += p.amount;
            shop.payments.push_back(std::move(p));
        }
    }
    for (size_t i = 0; i < shop.invoices.size(); ++i)
        shop.invoices[i].rest = shop.invoices[i].total - collected[i];
    for (size_t i = 0; i < shop.docs.size(); ++i) shop.docs[i].rest = shop.docs[i].total - paid[i];
}

}  // namespace tvx::gen

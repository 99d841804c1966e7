// The ten-year simulation of a busy shop. Documents are planned first (dates, locations,
// sizes), then played in date order against the stock cards, the way the program posts
// them: receptions find or create a lot and enter it, sales and exits take from lots that
// have stock, transfers move stock between locations. Money settles afterwards: receipts
// and payments follow their documents, and what is left unpaid becomes REST.
#include "ShopModel.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <tuple>

#include "tables/EngineError.h"

namespace tvx::gen {

namespace {

Decimal cents(long long c) {
    return Decimal::fromUnits(c, 2);
}

long long scaled(long long base, const Decimal& scale, long long minimum) {
    return std::max((Decimal(base) * scale).rounded(0).toLongLong(), minimum);
}

// Spreads `extra` items over `buckets` buckets that already hold one each.
std::vector<int> spread(Random& rng, size_t buckets, long long extra) {
    std::vector<int> counts(buckets, 1);
    for (long long i = 0; i < extra; ++i) ++counts[rng.below(buckets)];
    return counts;
}

// Zipf-like weights by popularity rank, ranks dealt at random.
std::vector<uint64_t> popularity(Random& rng, size_t n, uint64_t offset) {
    std::vector<size_t> rank(n);
    std::iota(rank.begin(), rank.end(), 0);
    for (size_t i = n; i > 1; --i) std::swap(rank[i - 1], rank[rng.below(i)]);
    std::vector<uint64_t> w(n);
    for (size_t i = 0; i < n; ++i) w[i] = 1000000000ULL / (rank[i] + offset);
    return w;
}

enum class EventKind : uint8_t { Reception, Sale, Exit, Transfer };

struct Event {
    int day;
    EventKind kind;
    uint32_t index;
    bool operator<(const Event& o) const {
        if (day != o.day) return day < o.day;
        if (kind != o.kind) return kind < o.kind;
        return index < o.index;
    }
};

struct DocPlan {
    int day = 0;
    bool hasNote = false;
    int location = 0;
    int lines = 0;
};

struct InvoicePlan {
    int day = 0;
    int location = 0;
    bool fiscal = false;
    size_t firstFlag = 0;
    int lines = 0;
};

constexpr int kServiceLocation = 3;  // "SERVICE AUTO" in the alphabetical list

class Simulation {
  public:
    Simulation(const Decimal& scale, uint64_t seed, bool vatPayer) : rng_(seed) {
        m_.vatPayer = vatPayer;
        m_.volumes = volumesFor(scale);
        m_.first = Date::fromYmd(2016, 1, 1);
        m_.last = Date::fromYmd(2025, 12, 31);
    }

    ShopModel run() {
        makeParties();
        makeProducts();
        makeServices();
        std::vector<Event> events = plan();
        std::sort(events.begin(), events.end());
        for (const Event& e : events) {
            switch (e.kind) {
                case EventKind::Reception:
                    receive(e.index);
                    break;
                case EventKind::Sale:
                    sell(e.index);
                    break;
                case EventKind::Exit:
                    exitGoods(e.day);
                    break;
                case EventKind::Transfer:
                    transfer(e.day);
                    break;
            }
        }
        noteTotals();
        settleMoney(m_, rng_);
        return std::move(m_);
    }

  private:
    const Volumes& v() const { return m_.volumes; }
    int L() const { return static_cast<int>(m_.locations.size()); }
    int P() const { return static_cast<int>(m_.products.size()); }

    int randomDay(int from, int to) { return randomWorkday(rng_, from, to); }

    void makeParties() {
        m_.locations = {"DEPOZIT", "MAGAZIN CENTRAL", "MAGAZIN NORD", "SERVICE AUTO", "SHOWROOM"};
        locationPicker_ = WeightedPicker({25, 40, 12, 15, 8});
        // The random company only lends its bank; the rest is the settings profile's.
        const Party drawn = company(rng_, true);
        m_.self = shopCompany(m_.vatPayer);
        m_.self.bank = drawn.bank;
        m_.self.account = drawn.account;
        for (int i = 0; i < 3; ++i) {
            std::string bank, iban;
            bankAccount(rng_, bank, iban);
            m_.accountBanks.push_back(bank);
            m_.accounts.push_back(iban);
        }
        for (long long i = 0; i < v().suppliers; ++i) {
            Supplier s;
            s.party = company(rng_, true);
            s.vat = rng_.chance(800) ? 19 : (rng_.chance(750) ? 9 : 5);
            m_.suppliers.push_back(std::move(s));
        }
        for (const char* name :
             {"SC ELECTRICA FURNIZARE SA", "SC APA CANAL SA", "SC GAZ DISTRIBUTIE SA",
              "SC TELECOM COMUNICATII SA", "SC SALUBRITATE URBANA SA"}) {
            Supplier s;
            s.party = company(rng_, true);
            s.party.name = name;
            s.utility = true;
            m_.suppliers.push_back(std::move(s));
        }
        std::vector<uint64_t> companyWeights, personWeights;
        for (long long i = 0; i < v().clients; ++i) {
            Client c;
            c.company = rng_.chance(700);
            c.party = c.company ? company(rng_, rng_.chance(800)) : person(rng_);
            (c.company ? companies_ : persons_).push_back(static_cast<int>(i));
            m_.clients.push_back(std::move(c));
        }
        if (persons_.empty() || companies_.empty())
            throw tables::EngineError("Too few clients for the data set");
        companyPicker_ = WeightedPicker(popularity(rng_, companies_.size(), 3));
        for (int i = 0; i < 6; ++i) people_.push_back(personName(rng_));
        for (int i = 0; i < 4; ++i) agents_.push_back(personName(rng_));
    }

    void makeProducts() {
        ProductNamer namer;
        const auto goodsSuppliers = static_cast<uint64_t>(v().suppliers);
        for (long long i = 0; i < v().products; ++i) {
            Product p;
            p.text = namer.next(rng_);
            if (rng_.chance(700)) p.barcode = barcode(rng_);
            p.supplier = static_cast<int>(rng_.below(goodsSuppliers));
            p.vat = m_.suppliers[static_cast<size_t>(p.supplier)].vat;
            p.markup = static_cast<int>(rng_.between(15, 60));
            p.listPrice = cents(rng_.between(p.text.minPrice * 100, p.text.maxPrice * 100));
            p.price = p.listPrice;
            m_.suppliers[static_cast<size_t>(p.supplier)].products.push_back(static_cast<int>(i));
            m_.products.push_back(std::move(p));
        }
        std::vector<uint64_t> weights = popularity(rng_, m_.products.size(), 8);
        productPicker_ = WeightedPicker(weights);
        std::vector<uint64_t> supplierWeights(m_.suppliers.size(), 0);
        for (size_t s = 0; s < m_.suppliers.size(); ++s) {
            Supplier& sup = m_.suppliers[s];
            if (sup.products.empty()) continue;
            std::vector<uint64_t> w;
            for (int p : sup.products) w.push_back(weights[static_cast<size_t>(p)]);
            sup.picker = WeightedPicker(w);
            supplierWeights[s] = std::accumulate(w.begin(), w.end(), uint64_t{0});
        }
        supplierPicker_ = WeightedPicker(supplierWeights);
        lots_.assign(static_cast<size_t>(L() * P()), {});
        locationCards_.assign(static_cast<size_t>(L()), {});
    }

    void makeServices() {
        for (long long i = 0; i < v().services; ++i) {
            Service s;
            s.id = i + 1;
            s.text = serviceName(static_cast<size_t>(i));
            s.price = Decimal(rng_.between(s.text.minPrice, s.text.maxPrice)).rescaled(2);
            m_.services.push_back(std::move(s));
        }
        servicePicker_ = WeightedPicker(popularity(rng_, m_.services.size(), 2));
    }

    std::vector<Event> plan() {
        std::vector<Event> events;
        const int first = m_.first.dayNumber(), last = m_.last.dayNumber();
        // Incoming documents; the first notes stock every location in the first days.
        const long long docs = v().incomingDocs, notes = v().notes;
        docPlans_.resize(static_cast<size_t>(docs));
        std::vector<size_t> order(static_cast<size_t>(docs - L()));
        std::iota(order.begin(), order.end(), static_cast<size_t>(L()));
        for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[rng_.below(i)]);
        for (int i = 0; i < L(); ++i) {
            docPlans_[static_cast<size_t>(i)] = {randomDay(first + i, first + i), true, i, 0};
        }
        for (size_t k = 0; k < order.size(); ++k) {
            DocPlan& d = docPlans_[order[k]];
            d.day = randomDay(first + L(), last);
            d.hasNote = static_cast<long long>(k) < notes - L();
            d.location = static_cast<int>(locationPicker_.pick(rng_));
        }
        std::vector<int> noteSizes =
            spread(rng_, static_cast<size_t>(notes), v().noteLines - notes);
        size_t next = 0;
        for (auto& d : docPlans_)
            if (d.hasNote) d.lines = noteSizes[next++];
        for (size_t i = 0; i < docPlans_.size(); ++i)
            events.push_back({docPlans_[i].day, EventKind::Reception, static_cast<uint32_t>(i)});

        // Sales start once every location has stock.
        const int salesStart = first + L() + 3;
        std::vector<int> sizes =
            spread(rng_, static_cast<size_t>(v().invoices), v().invoiceLines - v().invoices);
        long long goods = 0;
        for (long long i = 0; i < v().invoices; ++i) {
            InvoicePlan p;
            p.day = randomDay(salesStart, last);
            p.location = static_cast<int>(locationPicker_.pick(rng_));
            p.fiscal = p.location != kServiceLocation && rng_.chance(300);
            p.firstFlag = serviceFlags_.size();
            p.lines = sizes[static_cast<size_t>(i)];
            const int serviceShare = p.location == kServiceLocation ? 350 : 40;
            for (int k = 0; k < p.lines; ++k) {
                const bool service = rng_.chance(serviceShare);
                serviceFlags_.push_back(service);
                goods += service ? 0 : 1;
            }
            invoicePlans_.push_back(p);
            events.push_back({p.day, EventKind::Sale, static_cast<uint32_t>(i)});
        }
        // The remaining movements are consumption exits and transfers (two rows each).
        const long long rest = std::max(0LL, v().movements - v().noteLines - goods);
        const long long transfers = rest / 5, exits = rest - 2 * transfers;
        for (long long i = 0; i < exits; ++i)
            events.push_back({randomDay(salesStart, last), EventKind::Exit, 0});
        for (long long i = 0; i < transfers; ++i)
            events.push_back({randomDay(salesStart, last), EventKind::Transfer, 0});
        cardBudget_ = v().cards;
        return events;
    }

    std::vector<int>& lotsOf(int location, int product) {
        return lots_[static_cast<size_t>(location * P() + product)];
    }

    // FindOrCreateLot: the card of the location, product and prices, or a new one.
    size_t findOrCreate(int location, int product, const Decimal& pretu, int markup,
                        const Decimal& preta, const Decimal& pretin, const Decimal& pretout) {
        auto& lots = lotsOf(location, product);
        for (int c : lots) {
            const Card& card = m_.cards[static_cast<size_t>(c)];
            if (card.pretin == pretin && card.pretout == pretout) return static_cast<size_t>(c);
        }
        Card card;
        card.id = static_cast<long long>(m_.cards.size()) + 1;
        card.location = location;
        card.product = product;
        card.pretu = pretu;
        card.preta = preta;
        card.pretin = pretin;
        card.pretout = pretout;
        card.markup = markup;
        card.stock = Decimal(0).rescaled(2);
        m_.cards.push_back(card);
        const int index = static_cast<int>(m_.cards.size()) - 1;
        lots.push_back(index);
        locationCards_[static_cast<size_t>(location)].push_back(index);
        return static_cast<size_t>(index);
    }

    // A lot at today's price: the list price plus about 4% a year, give or take a few.
    size_t newLot(int location, int product, int day) {
        Product& p = m_.products[static_cast<size_t>(product)];
        const int years = (day - m_.first.dayNumber()) / 365;
        p.price = std::max(
            cents(1),
            percentOf(p.listPrice, 100 + 4 * years + static_cast<int>(rng_.between(-3, 8))));
        const Decimal preta = percentOf(p.price, 100 + p.markup);
        return findOrCreate(location, product, p.price, p.markup, preta,
                            percentOf(p.price, 100 + p.vat), percentOf(preta, 100 + p.vat));
    }

    long long addMovement(const Card& card, MoveKind kind, int document, long long number,
                          Date date, const Decimal& qty, const Decimal& value) {
        Movement mv;
        mv.id = static_cast<long long>(m_.movements.size()) + 1;
        mv.card = card.id;
        mv.kind = kind;
        mv.document = document;
        mv.number = number;
        mv.date = date;
        const Decimal zero = Decimal(0).rescaled(2);
        mv.qtyIn = qty.sign() > 0 ? qty : zero;
        mv.qtyOut = qty.sign() < 0 ? -qty : zero;
        mv.valueIn = value.sign() > 0 ? value : zero;
        mv.valueOut = value.sign() < 0 ? -value : zero;
        m_.movements.push_back(mv);
        return mv.id;
    }

    int documentName(const std::string& name) {
        auto it = std::find(m_.documentNames.begin(), m_.documentNames.end(), name);
        if (it != m_.documentNames.end()) return static_cast<int>(it - m_.documentNames.begin());
        m_.documentNames.push_back(name);
        return static_cast<int>(m_.documentNames.size()) - 1;
    }

    Decimal quantity(const Product& p, long long maxUnits) {
        long long units = rng_.between(1, maxUnits);
        bool divisible = p.text.um == "L" || p.text.um == "KG" || p.text.um == "M";
        if (divisible && rng_.chance(300)) return cents(units * 100 - 50);
        return Decimal(units).rescaled(2);
    }

    std::string documentNumber(const Party& supplier) {
        std::string series;
        for (size_t i = 3; i < supplier.name.size() && series.size() < 3; ++i)
            if (supplier.name[i - 1] == ' ' && supplier.name[i] != ' ') series += supplier.name[i];
        return series + " " + std::to_string(rng_.between(100, 999999));
    }

    void receive(uint32_t index) {
        const DocPlan& plan = docPlans_[index];
        IncomingDoc doc;
        doc.id = static_cast<long long>(m_.docs.size()) + 1;
        const int noteDay = plan.day;
        doc.date = Date::fromDayNumber(
            std::max(m_.first.dayNumber(), noteDay - static_cast<int>(rng_.between(0, 2))));
        static const std::vector<int> kTerms = {0, 15, 30, 60};
        doc.due = doc.date.addDays(rng_.pick(kTerms));
        if (!plan.hasNote) {
            doc.supplier = static_cast<int>(m_.suppliers.size() - 5 + rng_.below(5));
            doc.kind = "FACTURA FISCALA";
            doc.number = documentNumber(m_.suppliers[static_cast<size_t>(doc.supplier)].party);
            doc.value = cents(rng_.between(5000, 300000));
            doc.total = doc.value + percentOf(doc.value, 19);
            m_.docs.push_back(std::move(doc));
            return;
        }
        doc.supplier = static_cast<int>(supplierPicker_.pick(rng_));
        Supplier& supplier = m_.suppliers[static_cast<size_t>(doc.supplier)];
        doc.vat = supplier.vat;
        const uint64_t k = rng_.below(1000);
        doc.kind = k < 850 ? "FACTURA FISCALA"
                           : (k < 950 ? "BON FISCAL" : (k < 980 ? "AVIZ" : "BORDEROU ACHIZITII"));
        doc.number = doc.kind == "BON FISCAL" ? "BF " + std::to_string(rng_.between(1, 9999))
                                              : documentNumber(supplier.party);
        Note note;
        note.id = static_cast<long long>(m_.notes.size()) + 1;
        note.number = note.id;
        note.date = Date::fromDayNumber(noteDay);
        note.doc = m_.docs.size();
        note.delegate = personName(rng_) + " CI " + std::to_string(rng_.between(100000, 999999));
        note.receiver = people_[rng_.below(people_.size())];
        note.storekeeper = people_[rng_.below(people_.size())];
        note.firstLine = m_.noteLines.size();
        note.lineCount = static_cast<size_t>(plan.lines);
        doc.note = static_cast<long long>(m_.notes.size());
        const int entry = documentName("N.I.R.");
        Decimal value = Decimal(0).rescaled(2), total = value;
        for (int l = 0; l < plan.lines; ++l) {
            const int product = supplier.products[supplier.picker.pick(rng_)];
            const Product& p = m_.products[static_cast<size_t>(product)];
            // The first notes stock their own location only.
            const bool home = index < static_cast<uint32_t>(L()) || rng_.chance(800);
            const int location =
                home ? plan.location : static_cast<int>(locationPicker_.pick(rng_));
            auto& lots = lotsOf(location, product);
            Decimal qty = quantity(p, p.text.bulk ? 400 : (p.price > Decimal(300) ? 5 : 40));
            // A few lines return goods of the current lot to the supplier.
            if (!lots.empty() && rng_.chance(5)) {
                const Card& current = m_.cards[static_cast<size_t>(lots.back())];
                if (current.stock >= Decimal(1)) qty = -Decimal(1).rescaled(2);
            }
            const long long linesLeft = v().noteLines - static_cast<long long>(m_.noteLines.size());
            const long long cardsLeft = cardBudget_ - static_cast<long long>(m_.cards.size());
            const bool fresh =
                lots.empty() || (qty.sign() > 0 && cardsLeft > 0 &&
                                 static_cast<long long>(rng_.below(
                                     static_cast<uint64_t>(std::max(1LL, linesLeft)))) < cardsLeft);
            const size_t c =
                fresh ? newLot(location, product, noteDay) : static_cast<size_t>(lots.back());
            Card& card = m_.cards[c];
            NoteLine line;
            line.id = static_cast<long long>(m_.noteLines.size()) + 1;
            line.note = note.id;
            line.card = c;
            line.location = location;
            line.qty = qty;
            line.qtyInvoiced = rng_.chance(20) && qty.sign() > 0 ? qty + Decimal(1) : qty;
            line.pretu = card.pretu;
            line.value = money(qty * card.pretu);
            line.vat = percentOf(line.value, doc.vat);
            line.totalInvoiced = line.value + line.vat;
            line.preta = card.preta;
            line.valueA = money(qty * card.preta);
            line.pretat = card.pretout;
            line.valueAT = money(qty * card.pretout);
            if (p.text.warranty) line.warranty = note.date.addDays(730);
            const Decimal entryValue = money(card.pretout * qty);
            // A return (negative quantity, negative invoiced total) is valued out.
            line.movement =
                addMovement(card, MoveKind::Entry, entry, note.number, note.date, qty, entryValue);
            card.stock += qty;
            ++card.movements;
            if (!p.barcode.empty()) card.barcoded = true;
            value += line.value;
            total += line.totalInvoiced;
            m_.noteLines.push_back(std::move(line));
        }
        doc.value = value;
        doc.total = total;
        m_.notes.push_back(std::move(note));
        m_.docs.push_back(std::move(doc));
    }

    // A card of the location with stock: a popular product first, any lot after that.
    std::optional<size_t> cardWithStock(int location, bool byProduct) {
        if (byProduct) {
            for (int attempt = 0; attempt < 6; ++attempt) {
                auto& lots = lotsOf(location, static_cast<int>(productPicker_.pick(rng_)));
                for (auto it = lots.rbegin(); it != lots.rend(); ++it)
                    if (m_.cards[static_cast<size_t>(*it)].stock.sign() > 0)
                        return static_cast<size_t>(*it);
            }
        }
        auto& cards = locationCards_[static_cast<size_t>(location)];
        if (cards.empty()) return std::nullopt;
        for (int attempt = 0; attempt < 40; ++attempt) {
            const int c = cards[rng_.below(cards.size())];
            if (m_.cards[static_cast<size_t>(c)].stock.sign() > 0) return static_cast<size_t>(c);
        }
        return std::nullopt;
    }

    void sell(uint32_t index) {
        const InvoicePlan& plan = invoicePlans_[index];
        Invoice inv;
        inv.id = static_cast<long long>(m_.invoices.size()) + 1;
        inv.fiscal = plan.fiscal;
        inv.series = plan.fiscal ? "BON F." : "TVX";
        inv.number = plan.fiscal ? ++receiptNumber_ : ++invoiceNumber_;
        inv.date = Date::fromDayNumber(plan.day);
        inv.due = plan.fiscal ? inv.date : inv.date.addDays(rng_.chance(500) ? 15 : 30);
        inv.location = plan.location;
        const uint64_t k = rng_.below(1000);
        inv.vat = !m_.vatPayer ? 0 : (k < 900 ? 19 : (k < 970 ? 9 : 5));
        const bool toCompany = !plan.fiscal && rng_.chance(800);
        inv.client = toCompany ? companies_[companyPicker_.pick(rng_)]
                               : persons_[rng_.below(persons_.size())];
        inv.delegate = rng_.chance(600) ? m_.clients[static_cast<size_t>(inv.client)].party.name
                                        : personName(rng_);
        inv.transport = rng_.chance(500) ? "AUTO " + plate(rng_, randomPlace(rng_)) : "";
        const long long minutes = rng_.between(8 * 60, 18 * 60);
        inv.delivery = Decimal::fromUnits(
            static_cast<__int128>(inv.date.toSerial()) * 1000000 + (minutes * 1000000 + 720) / 1440,
            6);
        inv.issuedBy = people_[rng_.below(people_.size())];
        if (rng_.chance(400)) inv.agent = agents_[rng_.below(agents_.size())];
        if (rng_.chance(100)) inv.remarks = "LIVRARE LA SEDIUL CLIENTULUI";
        const uint64_t printed = rng_.below(100);
        inv.printed = printed < 10 ? 0 : (printed < 95 ? 1 : 2);
        inv.firstLine = m_.invoiceLines.size();
        inv.lineCount = static_cast<size_t>(plan.lines);
        const int sale = documentName("FACTURA " + inv.series);
        Decimal value = Decimal(0).rescaled(2), vat = value;
        bool anyService = false;
        for (int l = 0; l < plan.lines; ++l) {
            InvoiceLine line;
            line.invoice = inv.id;
            line.position = l + 1;
            if (serviceFlags_[plan.firstFlag + static_cast<size_t>(l)]) {
                anyService = true;
                line.service = static_cast<int>(servicePicker_.pick(rng_));
                const Service& s = m_.services[static_cast<size_t>(line.service)];
                line.qty = s.text.um == "ORA" ? cents(rng_.between(1, 8) * 50)
                                              : Decimal(rng_.between(1, 2)).rescaled(2);
                line.price = s.price;
            } else {
                auto found = cardWithStock(plan.location, true);
                // Without any stock left the sale still goes out and the card goes negative.
                const auto& here = locationCards_[static_cast<size_t>(plan.location)];
                const size_t c =
                    found ? *found : static_cast<size_t>(here[rng_.below(here.size())]);
                Card& card = m_.cards[c];
                const Product& p = m_.products[static_cast<size_t>(card.product)];
                Decimal qty = quantity(p, p.text.bulk ? 40 : (rng_.chance(600) ? 1 : 4));
                if (card.stock.sign() > 0 && qty > card.stock) qty = card.stock;
                if (l > 0 && rng_.chance(3)) qty = -Decimal(1).rescaled(2);  // goods returned
                line.product = card.product;
                line.card = card.id;
                line.qty = qty;
                line.price = (card.pretout * Decimal(100) / Decimal(100 + inv.vat)).rounded(2);
                if (p.text.warranty) line.warranty = inv.date.addDays(730);
            }
            line.value = money(line.qty * line.price);
            line.vat = percentOf(line.value, inv.vat);
            if (line.card > 0) {
                Card& card = m_.cards[static_cast<size_t>(line.card - 1)];
                line.movement = addMovement(card, MoveKind::Sale, sale, inv.number, inv.date,
                                            -line.qty, -(line.value + line.vat));
                card.stock -= line.qty;
                ++card.movements;
            }
            value += line.value;
            vat += line.vat;
            m_.invoiceLines.push_back(std::move(line));
        }
        inv.value = value;
        inv.vatTotal = vat;
        inv.total = value + vat;
        if (anyService && plan.location == kServiceLocation && rng_.chance(600)) {
            inv.serviceOrder = ++orderNumber_;
            const Place& place = m_.clients[static_cast<size_t>(inv.client)].party.place;
            inv.car = carModel(rng_);
            inv.plate = plate(rng_, place);
            const uint64_t s = rng_.below(3);
            inv.state = s == 0 ? "BUNA" : (s == 1 ? "UZATA" : "ACCIDENTATA");
        }
        m_.invoices.push_back(std::move(inv));
    }

    std::optional<size_t> anyCardWithStock(int& location) {
        for (int attempt = 0; attempt < L(); ++attempt) {
            if (auto c = cardWithStock(location, false)) return c;
            location = (location + 1) % L();
        }
        return std::nullopt;
    }

    void exitGoods(int day) {
        int location = static_cast<int>(locationPicker_.pick(rng_));
        auto found = anyCardWithStock(location);
        if (!found) return;
        Card& card = m_.cards[*found];
        const Product& p = m_.products[static_cast<size_t>(card.product)];
        Decimal qty = std::min(card.stock, quantity(p, 5));
        const std::string name = rng_.chance(800) ? "BON DE CONSUM" : "AVIZ DE INSOTIRE MARFA";
        const long long number = ++exitNumbers_[name];
        addMovement(card, MoveKind::Exit, documentName(name), number, Date::fromDayNumber(day),
                    -qty, -money(qty * card.pretout));
        card.stock -= qty;
        ++card.movements;
    }

    void transfer(int day) {
        int location = static_cast<int>(locationPicker_.pick(rng_));
        auto found = anyCardWithStock(location);
        if (!found) return;
        const int target =
            (location + 1 + static_cast<int>(rng_.below(static_cast<uint64_t>(L() - 1)))) % L();
        const Card source = m_.cards[*found];
        const size_t d = findOrCreate(target, source.product, source.pretu, source.markup,
                                      source.preta, source.pretin, source.pretout);
        const Product& p = m_.products[static_cast<size_t>(source.product)];
        const Decimal qty = std::min(source.stock, quantity(p, 10));
        const Decimal value = money(qty * source.pretout);
        const int doc = documentName("BON DE TRANSFER");
        const long long number = ++exitNumbers_["BON DE TRANSFER"];
        const Date date = Date::fromDayNumber(day);
        Card& from = m_.cards[*found];
        addMovement(from, MoveKind::Transfer, doc, number, date, -qty, -value);
        from.stock -= qty;
        ++from.movements;
        Card& to = m_.cards[d];
        addMovement(to, MoveKind::Transfer, doc, number, date, qty, value);
        to.stock += qty;
        ++to.movements;
    }

    void noteTotals() {
        for (Note& note : m_.notes) {
            Decimal vmf, vaf, vala, valat;
            bool goods = false, packaging = false;
            for (size_t i = note.firstLine; i < note.firstLine + note.lineCount; ++i) {
                const NoteLine& line = m_.noteLines[i];
                const std::string& category =
                    m_.products[static_cast<size_t>(m_.cards[line.card].product)].text.category;
                if (category == "MARFA") {
                    goods = true;
                    vmf += line.value;
                    vala += line.valueA;
                    valat += line.valueAT;
                } else if (category == "AMBALAJ") {
                    packaging = true;
                    vaf += line.value;
                }
            }
            if (packaging) note.vaf = vaf;
            if (goods) {
                note.vmf = vmf;
                note.vac = vala - vmf;
                note.vtn = valat - vala;
                note.total = valat;
            }
        }
    }

    Random rng_;
    ShopModel m_;
    WeightedPicker locationPicker_, productPicker_, supplierPicker_, companyPicker_, servicePicker_;
    std::vector<int> companies_, persons_;
    std::vector<std::string> people_, agents_;
    std::vector<std::vector<int>> lots_;           // cards per (location, product)
    std::vector<std::vector<int>> locationCards_;  // cards per location
    std::vector<DocPlan> docPlans_;
    std::vector<InvoicePlan> invoicePlans_;
    std::vector<char> serviceFlags_;
    long long cardBudget_ = 0;
    long long invoiceNumber_ = 0, receiptNumber_ = 0, orderNumber_ = 0;
    std::map<std::string, long long> exitNumbers_;
};

}  // namespace

Volumes volumesFor(const Decimal& scale) {
    if (scale < Decimal::fromUnits(1, 3) || scale > Decimal(10))
        throw tables::EngineError("Scale " + scale.toPlainString() + " is outside 0.001 .. 10");
    Volumes v;
    v.products = scaled(8000, scale, 30);
    v.cards = scaled(60000, scale, 60);
    v.notes = scaled(12000, scale, 10);
    v.incomingDocs = std::max(scaled(15000, scale, 12), v.notes + 2);
    v.noteLines = std::max(scaled(150000, scale, 40), v.notes);
    v.invoices = scaled(50000, scale, 20);
    v.invoiceLines = std::max(scaled(250000, scale, 60), v.invoices);
    v.movements = scaled(400000, scale, 120);
    v.receipts = scaled(60000, scale, 20);
    v.payments = scaled(20000, scale, 10);
    v.suppliers = scaled(150, scale, 8);
    v.clients = scaled(4000, scale, 30);
    v.services = scaled(400, scale, 18);
    v.timeNorms = scaled(300, scale, 10);
    v.preOrders = scaled(3000, scale, 10);
    return v;
}

ShopModel buildShop(const Decimal& scale, uint64_t seed, bool vatPayer) {
    return Simulation(scale, seed, vatPayer).run();
}

Party shopCompany(bool vatPayer) {
    Party p;
    p.name = "TARVIX DEMO SRL";
    p.taxCode = std::string(vatPayer ? "RO" : "") + "18547290";
    p.tradeRegister = "J12/1234/2016";
    p.address = "STR. FABRICII NR. 10";
    p.place = {"CLUJ-NAPOCA", "CLUJ", "CJ"};
    return p;
}

}  // namespace tvx::gen

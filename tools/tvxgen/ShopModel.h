// The generated shop in memory: its parties, products, stock cards, documents and money
// movements over ten years, built by a day-by-day simulation before any table is written.
// Identifiers are given out in date order, as the counters of the running program would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Random.h"
#include "ShopNames.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::gen {

using tables::Date;
using tables::Decimal;

// Row counts of the main tables, from the scale (1 = a busy shop).
struct Volumes {
    long long locations = 5;
    long long products = 0;
    long long cards = 0;
    long long incomingDocs = 0;
    long long notes = 0;
    long long noteLines = 0;
    long long invoices = 0;
    long long invoiceLines = 0;
    long long movements = 0;
    long long receipts = 0;
    long long payments = 0;
    long long suppliers = 0;
    long long clients = 0;
    long long services = 0;
    long long timeNorms = 0;
    long long preOrders = 0;
};
// Throws EngineError when the scale is outside 0.001 .. 10.
Volumes volumesFor(const Decimal& scale);

struct Product {
    ProductName text;
    std::string barcode;  // empty for about a third of the products
    int supplier = 0;
    int vat = 19;
    int markup = 30;    // percent
    Decimal listPrice;  // purchase price without VAT in the first year
    Decimal price;      // purchase price of the newest lot
};

struct Supplier {
    Party party;
    int vat = 19;
    bool utility = false;  // sends invoices without goods
    std::vector<int> products;
    WeightedPicker picker;  // over `products`, by popularity
};

struct Client {
    Party party;
    bool company = true;
};

struct Card {
    long long id = 0;
    int location = 0;
    int product = 0;
    Decimal pretu, preta, pretin, pretout;  // purchase, with mark-up, entry with VAT, sale
    int markup = 0;
    Decimal stock;
    long long movements = 0;
    bool barcoded = false;  // a reception gave it its product's bar code
};

enum class MoveKind : uint8_t { Entry, Sale, Exit, Transfer };

struct Movement {
    long long id = 0;
    long long card = 0;  // IDCAP
    MoveKind kind = MoveKind::Entry;
    int document = 0;  // index into ShopModel::documentNames
    long long number = 0;
    Date date;
    Decimal qtyIn, qtyOut, valueIn, valueOut;
};

struct IncomingDoc {
    long long id = 0;
    std::string kind;  // NUMEFACT
    std::string number;
    Date date, due;
    int supplier = 0;
    int vat = 19;
    Decimal value, total, rest;
    long long note = -1;  // index into notes
};

struct Note {
    long long id = 0;
    long long number = 0;
    Date date;
    size_t doc = 0;
    std::string delegate, receiver, storekeeper;
    size_t firstLine = 0, lineCount = 0;
    std::optional<Decimal> vmf, vaf, vac, vtn, total;
};

struct NoteLine {
    long long id = 0;
    long long note = 0;  // IDNIR
    size_t card = 0;     // index into cards
    long long movement = 0;
    int location = 0;
    Decimal qtyInvoiced, qty, pretu, value, vat, totalInvoiced, preta, valueA, pretat, valueAT;
    std::optional<Date> warranty;
};

struct Invoice {
    long long id = 0;
    bool fiscal = false;
    std::string series;
    long long number = 0;
    Date date, due;
    int vat = 19;
    int client = 0;
    int location = 0;
    std::string delegate, transport, issuedBy, agent, remarks;
    Decimal delivery;  // serial day number with the time as fraction
    Decimal value, vatTotal, total, rest;
    int printed = 0;
    size_t firstLine = 0, lineCount = 0;
    long long serviceOrder = 0;  // order number, 0 when none
    std::string car, plate, state;
};

struct InvoiceLine {
    long long invoice = 0;
    long long movement = -1;
    long long card = -1;
    int position = 0;
    int product = -1;  // goods line
    int service = -1;  // service line
    Decimal qty, price, value, vat;
    std::optional<Date> warranty;
};

struct Service {
    long long id = 0;
    ServiceName text;
    Decimal price;
};

struct Receipt {  // ChitOut
    long long id = 0;
    long long invoice = -1;
    std::string kind, series, remark;
    long long number = 0;
    Date date;
    Decimal amount, vat;
};

struct Payment {  // ChitIn
    long long id = 0;
    long long doc = -1;
    std::string kind, number, payee, remark;
    Date date;
    Decimal amount, vat;
};

struct ShopModel {
    Volumes volumes;
    Date first, last;                    // the ten years covered
    Party self;                          // the shop's own company data
    bool vatPayer = true;                // false: sales carry no VAT (rate 0)
    std::vector<std::string> locations;  // alphabetical
    std::vector<std::string> accounts;   // the shop's bank accounts (IBAN)
    std::vector<std::string> accountBanks;
    std::vector<std::string> documentNames;  // DOCJUS values of the movements
    std::vector<Product> products;
    std::vector<Supplier> suppliers;
    std::vector<Client> clients;
    std::vector<Service> services;
    std::vector<Card> cards;
    std::vector<Movement> movements;
    std::vector<IncomingDoc> docs;
    std::vector<Note> notes;
    std::vector<NoteLine> noteLines;
    std::vector<Invoice> invoices;
    std::vector<InvoiceLine> invoiceLines;
    std::vector<Receipt> receipts;
    std::vector<Payment> payments;
};

// Runs the whole simulation; a shop that is no VAT payer sells without VAT.
ShopModel buildShop(const Decimal& scale, uint64_t seed, bool vatPayer = true);

// The shop's own company as its settings profile and its invoices name it: a tax code with
// "RO" for a VAT payer.
Party shopCompany(bool vatPayer);

// Receipts and payments of the documents already simulated, IDCHIT in date order, REST.
void settleMoney(ShopModel& shop, Random& rng);

// A day in [from, to] (day numbers), moved off Sundays.
int randomWorkday(Random& rng, int from, int to);

// Exact money helpers: value rounded half away from zero to two decimals.
Decimal money(const Decimal& value);
Decimal percentOf(const Decimal& value, int percent);  // value * percent / 100, 2 decimals
// VAT contained in a gross amount: gross * rate / (100 + rate), 2 decimals.
Decimal vatIncluded(const Decimal& gross, int rate);

}  // namespace tvx::gen

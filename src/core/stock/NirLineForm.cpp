// The line dialog of a goods received note (core/stock): start values, filling from a
// stored line, the live reactions and the ordered checks of "&Memoreaza".
#include "core/stock/NirLineForm.h"

#include <algorithm>

#include "core/common/PeriodChoice.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"
#include "core/stock/NirLine.h"
#include "tables/Database.h"

namespace tvx::core {

using tables::Decimal;

namespace {

constexpr const char* kDiscount = "DISCOUNT";

Decimal SettingNumber(const Settings& settings, const char* section, const char* key) {
    return Decimal::parse(settings.readSetting(section, key)).value_or(Decimal(0));
}

// The item when the list holds it, else blank (the drop-down then selects nothing).
std::string Selected(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end() ? value : std::string();
}

Decimal Abs(const Decimal& x) {
    return x.isNegative() ? -x : x;
}

}  // namespace

const std::vector<std::string>& NirLineForm::Categories() {
    static const std::vector<std::string> list{"MARFA",    "SERVICII", "CONSUMABIL",
                                               "DISCOUNT", "AMBALAJ",  "OBIECT DE INVENTAR"};
    return list;
}

const std::vector<std::string>& NirLineForm::Currencies() {
    static const std::vector<std::string> list{kLei, kEuro, kDollars};
    return list;
}

std::optional<Message> NirLineForm::MissingLocations(const std::vector<std::string>& locations) {
    if (!locations.empty()) return std::nullopt;
    return Message{"Adaugare produs",
                   "Nu ati definit gestiunile la capitolul Administrare!\rDoriti sa le definiti "
                   "acum?",
                   MessageKind::Error};
}

void NirLineForm::setVat(const Decimal& vatPercent, bool vatPayer) {
    vat_ = NirVat(vatPercent, vatPayer);
}

void NirLineForm::resetFields(const Settings& settings, const std::vector<std::string>& locations,
                              tables::Date today) {
    product.clear();
    unit.clear();
    qf = q = p = Decimal(0);
    pt = vf = tf = tt = s = Decimal(0);
    a = SettingNumber(settings, "VAR", "ADAOSP");
    locationList = locations;
    location = locations.empty() ? std::string() : locations.front();
    warranty = AddMonths(today, 12);
    barCode.clear();
    remarks.clear();
    euroRate = SettingNumber(settings, "CONSTANTE", "EUROVAL");
    dollarRate = SettingNumber(settings, "CONSTANTE", "DOLARVAL");
}

void NirLineForm::resetForAdd(const Settings& settings, const std::vector<std::string>& locations,
                              tables::Date today) {
    adding = true;
    idProd = 0;
    resetFields(settings, locations, today);
    currency = addCurrency_;
    currencyEnabled = true;
}

void NirLineForm::fillForEdit(const NirLineRow& line, const Settings& settings,
                              const std::vector<std::string>& locations, tables::Date today) {
    adding = false;
    resetFields(settings, locations, today);
    currency = kLei;
    currencyEnabled = false;
    idProd = line.idProd;
    product = line.produs;
    category = Selected(Categories(), line.categ);
    unit = line.um;
    qf = line.cantf;
    q = line.cantr;
    vf = line.valoare;
    tf = line.valtva;
    tt = line.totalf;
    a = line.adaos;
    s = line.pretat;
    location = Selected(locationList, line.gestiune);
    if (line.garantie) warranty = *line.garantie;
    barCode = line.codbare;
    if (!line.obs.empty()) remarks.push_back(line.obs);
    const Decimal withVat = Decimal(1) + vat_.r;
    if (vat_.payerRate()) {
        p = line.pretu;
        pt = CutCents(Carry4(line.pretu * withVat));
    } else {
        p = CutCents(Divide4(line.pretu, withVat));
        pt = line.pretu;
    }
}

void NirLineForm::storeRates(Settings& settings) const {
    settings.writeSetting("CONSTANTE", "EUROVAL", euroRate.toString());
    settings.writeSetting("CONSTANTE", "DOLARVAL", dollarRate.toString());
}

void NirLineForm::invoicedChanged() {
    q = qf;
}

void NirLineForm::recalcLine() {
    categoryChanged();
    const NirLineAmounts amounts = ComputeLineAmounts(vat_, q, p, a);
    vf = amounts.vf;
    tf = amounts.tf;
    pt = amounts.pt;
    tt = amounts.tt;
    s = amounts.s;
}

void NirLineForm::markupChanged() {
    s = SaleFromMarkup(vat_, p, a);
}

void NirLineForm::saleChanged() {
    MarkupFromSale(s, pt, a);
}

void NirLineForm::categoryChanged() {
    if (markupEditable()) return;
    // The mark-up goes to 0 and, as after any change of it, the sale price follows: a price
    // left from the earlier mark-up would be stored and become the card's sale price.
    a = Decimal(0);
    markupChanged();
}

void NirLineForm::productChanged(tables::Database& db) {
    if (!adding) return;
    tables::ResultSet rows =
        db.query("SELECT UM, PRETU, CODBARE FROM " + QuotedPath(TableFile(db, "ProdNIR")) +
                     " WHERE PRODUS=:p ORDER BY PRODUS, IDPROD",
                 {{"p", product}});
    if (rows.empty()) {
        unit.clear();
        barCode.clear();
        p = Decimal(0);
    } else {
        unit = rows.asText("UM");
        p = rows.asNumber("PRETU");
        barCode = rows.asText("CODBARE");
    }
    // A and S are not reacted to while these are filled; the new P recomputes the line.
    recalcLine();
}

void NirLineForm::barCodeEntered(tables::Database& db) {
    const std::string code = CleanText(barCode);
    if (code.empty()) return;
    tables::ResultSet rows = db.query(
        "SELECT PRODUS, CATEG, UM, PRETU, ADAOS, PRETAT, GESTIUNE FROM " +
            QuotedPath(TableFile(db, "ProdNIR")) + " WHERE CODBARE=:c ORDER BY PRODUS, IDPROD",
        {{"c", barCode}});
    if (rows.empty()) return;
    rows.last();
    product = rows.asText("PRODUS");
    category = Selected(Categories(), rows.asText("CATEG"));
    unit = rows.asText("UM");
    p = rows.asNumber("PRETU");
    a = rows.asNumber("ADAOS");
    location = Selected(locationList, rows.asText("GESTIUNE"));
    recalcLine();
    s = rows.asNumber("PRETAT");
}

std::optional<FieldProblem> NirLineForm::save(tables::Database& db, Settings& settings) {
    const Decimal zero(0);
    product = CleanText(product);
    if (product.empty()) return FieldProblem{kProductField, "Lipseste denumirea Produsului!"};
    unit = CleanText(unit);
    if (unit.empty()) return FieldProblem{kUnitField, "Lipseste Unitatea de Masura!"};
    if (qf.isZero()) return FieldProblem{kInvoicedField, "Lipseste Cantitatea dupa factura!"};
    if (q.isZero()) return FieldProblem{kReceivedField, "Lipseste Cantitatea la receptie!"};
    if (p.isZero()) return FieldProblem{kPriceField, "Lipseste Pretul furnizorului fara TVA!"};
    if (vf.isZero()) return FieldProblem{kValueField, "Lipseste Valoarea marfii furnizor!"};
    if (tt.isZero()) return FieldProblem{kTotalField, "Lipseste Total valoare facturata!"};
    if (markupEditable() && s.isZero())
        return FieldProblem{kSaleField, "Lipseste pretul final de vanzare!"};
    if (markupEditable())
        if (auto problem = RateProblem(a, MarkupRange()))
            return FieldProblem{kMarkupField, *problem};
    location = CleanText(location);
    if (location.empty()) return FieldProblem{kLocationField, "Lipseste Gestiunea!"};
    if (q < zero && p < zero)
        return FieldProblem{kInvoicedField,
                            "Cantitatea si Pretul de intrare nu pot fi negative in acelasi timp!"};
    if (category == kDiscount && p > zero) {
        qf = Abs(qf);
        q = qf;
        p = -Abs(p);
        recalcLine();
    }
    std::string sql =
        "SELECT UM FROM " + QuotedPath(TableFile(db, "ProdNIR")) + " WHERE PRODUS=:p AND UM<>:u";
    tables::Params params{{"p", product}, {"u", unit}};
    if (!adding) {
        sql += " AND IDPROD<>:id";
        params["id"] = idProd;
    }
    tables::ResultSet other = db.query(sql, params);
    if (!other.empty())
        return FieldProblem{kUnitField, "Produsul " + product + " exista deja in magazie, \n" +
                                            "dar cu unitatea de masura " + other.asText("UM") +
                                            "!"};
    const Decimal rate =
        currency == kEuro ? euroRate : (currency == kDollars ? dollarRate : Decimal(1));
    if (rate <= zero) return FieldProblem{kEuroField, "Curs valutar incorect!"};
    if (rate != Decimal(1)) {
        if (!remarks.empty() && remarks.back().find("curs ") != std::string::npos)
            remarks.pop_back();
        remarks.push_back(p.toString() + " " + currency + "; curs " + rate.toString() + " lei");
        // The sale price was typed in the same currency as P: both go to lei.
        const Decimal typedSale = s;
        p = Carry4(p * rate);
        recalcLine();
        s = Carry4(typedSale * rate);
    }
    if (a.toString() != "0") settings.writeSetting("VAR", "ADAOSP", a.toString());
    if (adding) addCurrency_ = currency;
    return std::nullopt;
}

NirLineRow NirLineForm::toRow() const {
    NirLineRow row;
    row.idProd = idProd;
    row.gestiune = location;
    row.categ = category;
    row.produs = product;
    row.um = unit;
    row.cantf = qf;
    row.cantr = q;
    const NirStoredPrices stored = ComputeStoredPrices(vat_, q, p, pt, vf, a, s, adding);
    row.pretu = stored.pretu;
    row.valoare = vf;
    row.valtva = tf;
    row.totalf = tt;
    row.preta = stored.preta;
    row.vala = stored.vala;
    row.pretat = s;
    row.valat = stored.valat;
    row.codbare = barCode;
    row.obs = JoinLines(remarks);
    row.garantie = warranty;
    row.adaos = a;
    row.entryPrice = pt;
    return row;
}

}  // namespace tvx::core

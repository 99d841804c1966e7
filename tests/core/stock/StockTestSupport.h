// Shared set-up of the stock tests: a scratch data directory with the permanent tables, its
// settings file carried by the engine's transactions, and readers of cards, movements and
// counters that check the stock invariants independently of the code under test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "../CoreTestSupport.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"

namespace tvx::core::stocktest {

using tables::Date;
using tables::Decimal;

inline Decimal D(const char* text) {
    return Decimal::parse(text).value();
}

inline Date Day(int d, int m, int y) {
    return Date::fromYmd(y, m, d);
}

struct Card {
    long long idCap = 0;
    std::string location, category, product, unit, barCode;
    Decimal entryPrice, salePrice, stock, count;
};

class StockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data_ = dir_.path() / "Data";
        std::filesystem::create_directories(data_);
        db_ = std::make_unique<tables::Database>(data_, dir_.path());
        db_->setDurable(false);
        CreateMissingTables(*db_);
        settings_ = std::make_unique<Settings>(data_ / "Tvx2010.set", db_.get());
    }

    tables::ResultSet Query(const std::string& sql, const tables::Params& params = {}) {
        return db_->query(sql, params);
    }
    long long Count(const std::string& table, const std::string& where = "1=1",
                    const tables::Params& params = {}) {
        return db_->query("SELECT COUNT(*) FROM " + table + " WHERE " + where, params)
            .at(0, 0)
            .number()
            .toLongLong();
    }
    std::map<long long, Card> Cards() {
        std::map<long long, Card> out;
        tables::ResultSet rows = Query("SELECT * FROM CapFise");
        for (rows.first(); !rows.eof(); rows.next()) {
            Card c;
            c.idCap = rows.asNumber("IDCAP").toLongLong();
            c.location = rows.asText("GESTIUNE");
            c.category = rows.asText("CATEG");
            c.product = rows.asText("PRODUS");
            c.unit = rows.asText("UM");
            c.barCode = rows.asText("CODBARE");
            c.entryPrice = rows.asNumber("PRETIN");
            c.salePrice = rows.asNumber("PRETOUT");
            c.stock = rows.asNumber("STOC");
            c.count = rows.asNumber("NRREC");
            EXPECT_EQ(out.count(c.idCap), 0u) << "two cards with IDCAP " << c.idCap;
            out[c.idCap] = c;
        }
        return out;
    }
    Card CardOf(long long idCap) {
        auto cards = Cards();
        EXPECT_EQ(cards.count(idCap), 1u) << "no card " << idCap;
        return cards[idCap];
    }
    // Every card's STOC and NRREC against its movements, every movement on a card, and no
    // two cards of one lot key.
    void ExpectInvariants(const std::string& where = "") {
        SCOPED_TRACE(where);
        const auto cards = Cards();
        std::map<long long, std::pair<Decimal, long long>> moved;
        tables::ResultSet rows = Query("SELECT IDCAP, CANTIN, CANTOUT FROM Fise");
        for (rows.first(); !rows.eof(); rows.next()) {
            const long long id = rows.asNumber("IDCAP").toLongLong();
            EXPECT_EQ(cards.count(id), 1u) << "movement on missing card " << id;
            EXPECT_FALSE(rows.asNumber("CANTIN").isNegative());
            EXPECT_FALSE(rows.asNumber("CANTOUT").isNegative());
            moved[id].first += rows.asNumber("CANTIN") - rows.asNumber("CANTOUT");
            moved[id].second += 1;
        }
        std::map<std::string, long long> keys;
        for (const auto& [id, c] : cards) {
            EXPECT_EQ(c.stock, moved[id].first) << "STOC of card " << id;
            EXPECT_EQ(c.count, Decimal(moved[id].second)) << "NRREC of card " << id;
            const std::string key = c.location + "|" + c.product + "|" + c.unit + "|" +
                                    c.entryPrice.toPlainString() + "|" +
                                    c.salePrice.toPlainString();
            EXPECT_EQ(++keys[key], 1) << "two cards of lot " << key;
        }
    }
    std::string Counter(const char* name) { return settings_->peekIndex(name); }

    testsupport::ScratchDir dir_;
    std::filesystem::path data_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
};

}  // namespace tvx::core::stocktest

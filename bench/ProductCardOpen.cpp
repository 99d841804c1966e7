// tvxbench-card: times opening the product card on a generated shop (tvxgen): the product
// names of the busiest location, the cards of its product with the most movements and that
// card's movements, as the window reads them when it opens on that product. Reports the first
// opening on a freshly opened data directory (files read from disk) and the median of the
// following ones.
//
//   tvxbench-card DATA_DIR [--reps N]
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/common/Schema.h"
#include "core/stock/ProductCard.h"
#include "tables/Database.h"
#include "tables/ResultSet.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Target {
    std::string location, product;
};

// The card with the most movements names the location and product opened.
Target Busiest(tvx::tables::Database& db) {
    tvx::tables::ResultSet counts =
        db.query("SELECT IDCAP, COUNT(*) AS N FROM " +
                 tvx::core::QuotedPath(tvx::core::TableFile(db, "Fise")) +
                 " GROUP BY IDCAP ORDER BY N DESC");
    if (counts.empty()) throw std::runtime_error("no movements in the data directory");
    tvx::tables::ResultSet card = db.query(
        "SELECT GESTIUNE, PRODUS FROM " +
            tvx::core::QuotedPath(tvx::core::TableFile(db, "CapFise")) + " WHERE IDCAP=:id",
        {{"id", counts.value("IDCAP")}});
    return {card.asText("GESTIUNE"), card.asText("PRODUS")};
}

// Time of each of the three lists, summed over the openings.
double listTimes[3] = {0, 0, 0};

// What the window reads when it opens on the product: returns the movements shown.
size_t OpenCard(tvx::tables::Database& db, const Target& target) {
    Clock::time_point start = Clock::now();
    tvx::tables::ResultSet products = tvx::core::QueryCardProducts(db, target.location);
    products.locate("PRODUS", tvx::tables::Value(target.product));
    listTimes[0] += MillisSince(start);
    start = Clock::now();
    tvx::tables::ResultSet cards =
        tvx::core::QueryProductCards(db, target.location, target.product);
    listTimes[1] += MillisSince(start);
    start = Clock::now();
    size_t shown = 0;
    if (!cards.empty())  // the window shows the first card's movements
        shown = tvx::core::QueryCardMovements(db, cards.asNumber("IDCAP").toLongLong()).rowCount();
    listTimes[2] += MillisSince(start);
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: tvxbench-card DATA_DIR [--reps N]\n");
        return 2;
    }
    int reps = 20;
    if (argc == 4) {
        if (std::string(argv[2]) != "--reps") return 2;
        reps = std::max(1, std::atoi(argv[3]));
    }
    try {
        const std::filesystem::path data = argv[1];
        Target target;
        {
            tvx::tables::Database probe(data, data.parent_path());
            target = Busiest(probe);
        }
        tvx::tables::Database db(data, data.parent_path());
        Clock::time_point start = Clock::now();
        const size_t moves = OpenCard(db, target);
        const double first = MillisSince(start);
        const double firstLists[3] = {listTimes[0], listTimes[1], listTimes[2]};
        for (double& t : listTimes) t = 0;
        std::vector<double> times;
        for (int i = 0; i < reps; ++i) {
            start = Clock::now();
            OpenCard(db, target);
            times.push_back(MillisSince(start));
        }
        for (double& t : listTimes) t /= reps;
        std::sort(times.begin(), times.end());
        std::printf("product card of %s / %s: %zu movements\n", target.location.c_str(),
                    target.product.c_str(), moves);
        std::printf("first opening (fresh engine): %.1f ms\n", first);
        std::printf("later openings, median of %d: %.1f ms\n", reps, times[times.size() / 2]);
        std::printf("first opening by list: names %.1f ms, cards %.1f ms, movements %.1f ms\n",
                    firstLists[0], firstLists[1], firstLists[2]);
        std::printf(
            "later openings, mean by list: names %.1f ms, cards %.1f ms, movements %.1f ms\n",
            listTimes[0], listTimes[1], listTimes[2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
}

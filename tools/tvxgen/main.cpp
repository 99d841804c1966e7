// tvxgen DATA_DIR [--scale F] [--seed N] [--non-payer]: writes the data directory of a busy
// shop over ten years (scale 1: 8,000 products, 50,000 invoices, 400,000 stock movements;
// --scale 0.01 a tiny one) with its settings file; the company is a VAT payer unless
// --non-payer is given. Prints the rows written per table. Exit status 0 on success, 1 on failure,
// 2 for bad arguments.
#include <chrono>
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "ShopGenerator.h"

namespace {

int usage(const std::string& problem) {
    std::cerr << "tvxgen: " << problem << "\n"
              << "usage: tvxgen DATA_DIR [--scale F] [--seed N] [--non-payer]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using tvx::tables::Decimal;
    std::string dir;
    tvx::gen::GeneratorOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scale" || arg == "--seed") {
            if (i + 1 >= argc) return usage(arg + " needs a value");
            const std::string value = argv[++i];
            auto number = Decimal::parse(value);
            if (!number || number->sign() <= 0) return usage("bad value for " + arg + ": " + value);
            if (arg == "--scale") {
                options.scale = *number;
            } else {
                if (number->normalized().scale() != 0)
                    return usage("--seed must be a whole number");
                options.seed = static_cast<uint64_t>(number->toLongLong());
            }
        } else if (arg == "--non-payer") {
            options.vatPayer = false;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage("unknown option " + arg);
        } else if (dir.empty()) {
            dir = arg;
        } else {
            return usage("more than one data directory");
        }
    }
    if (dir.empty()) return usage("no data directory");
    try {
        const auto start = std::chrono::steady_clock::now();
        const auto stats = tvx::gen::generateShop(dir, options);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        for (const auto& [table, rows] : stats.rows) std::cout << table << " " << rows << "\n";
        std::cout << "written in " << ms << " ms\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "tvxgen: " << e.what() << "\n";
        return 1;
    }
}

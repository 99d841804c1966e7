// Romanian-looking names for generated data (no diacritics): products with their unit,
// category and price range, companies, people, places, banks and accounts, cars, and the
// services of a workshop. All choices come from the caller's Random, so they repeat.
#pragma once

#include <string>
#include <vector>

#include "Random.h"

namespace tvx::gen {

struct ProductName {
    std::string name;        // unique among the products made by one ProductNamer
    std::string um;          // unit of measure, at most 4 characters
    std::string category;    // MARFA, CONSUMABIL, AMBALAJ or OBIECT DE INVENTAR
    long long minPrice = 1;  // purchase price range without VAT, whole lei
    long long maxPrice = 10;
    bool warranty = false;  // sold with a warranty
    bool bulk = false;      // bought in large quantities (cheap consumables, packaging)
};

// Hands out distinct product names.
class ProductNamer {
  public:
    ProductName next(Random& rng);

  private:
    std::vector<std::string> used_;  // sorted
};

struct Place {
    std::string locality;
    std::string county;
    std::string plateCode;  // registration plate prefix of the county
};

struct Party {
    std::string name;     // at most 32 characters
    std::string taxCode;  // CUI, "RO" prefix for VAT payers
    std::string tradeRegister;
    std::string address;  // street and number
    Place place;
    std::string bank;
    std::string account;  // IBAN with valid check digits
};

std::string personName(Random& rng);   // "POPESCU ANDREI"
std::string companyName(Random& rng);  // "SC AGRO MURES SRL"
Place randomPlace(Random& rng);
std::string streetAddress(Random& rng);  // "STR. HOREA NR. 12"
// A bank name and a Romanian IBAN of that bank.
void bankAccount(Random& rng, std::string& bank, std::string& iban);
Party company(Random& rng, bool vatPayer);
Party person(Random& rng);
std::string carModel(Random& rng);
std::string plate(Random& rng, const Place& place);
std::string barcode(Random& rng);  // 13 digits

struct ServiceName {
    std::string group;
    std::string subgroup;
    std::string name;
    std::string um;
    long long minPrice = 1;  // whole lei
    long long maxPrice = 10;
};
// The i-th workshop service (distinct names for distinct i).
ServiceName serviceName(size_t i);

}  // namespace tvx::gen

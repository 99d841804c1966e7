// Word lists and builders of generated names. Product names combine an article, a maker
// and a variant; companies and people combine common Romanian surnames and words.
#include "ShopNames.h"

#include <algorithm>
#include <array>

namespace tvx::gen {

namespace {

struct Article {
    const char* noun;
    const char* um;
    const char* category;
    long long minPrice;
    long long maxPrice;
    bool warranty;
    bool bulk;
};

constexpr std::array kArticles = {
    Article{"ULEI MOTOR", "L", "MARFA", 20, 60, false, false},
    Article{"FILTRU ULEI", "BUC", "MARFA", 15, 90, false, false},
    Article{"FILTRU AER", "BUC", "MARFA", 20, 120, false, false},
    Article{"FILTRU COMBUSTIBIL", "BUC", "MARFA", 25, 160, false, false},
    Article{"FILTRU POLEN", "BUC", "MARFA", 20, 110, false, false},
    Article{"PLACUTE FRANA", "SET", "MARFA", 60, 400, true, false},
    Article{"DISC FRANA", "BUC", "MARFA", 90, 600, true, false},
    Article{"ACUMULATOR", "BUC", "MARFA", 250, 1100, true, false},
    Article{"BEC FAR", "BUC", "MARFA", 8, 90, false, false},
    Article{"STERGATOR", "BUC", "MARFA", 15, 120, false, false},
    Article{"ANTIGEL", "L", "MARFA", 10, 45, false, false},
    Article{"LICHID PARBRIZ", "L", "MARFA", 4, 20, false, true},
    Article{"CUREA DISTRIBUTIE", "BUC", "MARFA", 80, 450, true, false},
    Article{"KIT AMBREIAJ", "SET", "MARFA", 400, 1500, true, false},
    Article{"AMORTIZOR", "BUC", "MARFA", 120, 700, true, false},
    Article{"BUJIE", "BUC", "MARFA", 12, 80, false, false},
    Article{"CABLU ELECTRIC", "M", "MARFA", 2, 25, false, true},
    Article{"PRIZA", "BUC", "MARFA", 6, 60, false, false},
    Article{"INTRERUPATOR", "BUC", "MARFA", 6, 70, false, false},
    Article{"SIGURANTA AUTOMATA", "BUC", "MARFA", 15, 120, false, false},
    Article{"BEC LED", "BUC", "MARFA", 5, 60, false, false},
    Article{"PRELUNGITOR", "BUC", "MARFA", 15, 90, false, false},
    Article{"SURUB", "BUC", "MARFA", 1, 3, false, true},
    Article{"DIBLU", "BUC", "MARFA", 1, 2, false, true},
    Article{"SURUBELNITA", "BUC", "MARFA", 8, 60, false, false},
    Article{"CIOCAN", "BUC", "MARFA", 20, 120, false, false},
    Article{"BORMASINA", "BUC", "MARFA", 150, 900, true, false},
    Article{"FLEX", "BUC", "MARFA", 180, 1000, true, false},
    Article{"FURTUN GRADINA", "M", "MARFA", 3, 15, false, true},
    Article{"ROBINET", "BUC", "MARFA", 25, 250, false, false},
    Article{"VOPSEA LAVABILA", "L", "MARFA", 12, 60, false, false},
    Article{"LAC LEMN", "L", "MARFA", 25, 90, false, false},
    Article{"ADEZIV", "KG", "MARFA", 10, 80, false, false},
    Article{"SILICON", "BUC", "MARFA", 8, 40, false, false},
    Article{"BANDA IZOLIERE", "BUC", "MARFA", 3, 12, false, true},
    Article{"CUIE", "KG", "MARFA", 8, 25, false, true},
    Article{"CIMENT", "SAC", "MARFA", 20, 40, false, true},
    Article{"GLET", "SAC", "MARFA", 25, 60, false, true},
    Article{"TEAVA PPR", "M", "MARFA", 4, 30, false, true},
    Article{"FITING", "BUC", "MARFA", 2, 25, false, true},
    Article{"LANTERNA", "BUC", "MARFA", 15, 120, true, false},
    Article{"BATERIE", "BUC", "MARFA", 2, 15, false, true},
    Article{"CUTIE CARTON", "BUC", "AMBALAJ", 1, 8, false, true},
    Article{"PUNGA", "BUC", "AMBALAJ", 1, 2, false, true},
    Article{"PALET LEMN", "BUC", "AMBALAJ", 20, 60, false, false},
    Article{"FOLIE STRETCH", "ROLA", "AMBALAJ", 25, 70, false, false},
    Article{"DETERGENT", "L", "CONSUMABIL", 8, 40, false, false},
    Article{"MANUSI PROTECTIE", "PER", "CONSUMABIL", 3, 25, false, true},
    Article{"HARTIE COPIATOR", "TOP", "CONSUMABIL", 15, 35, false, false},
    Article{"TONER", "BUC", "CONSUMABIL", 80, 450, false, false},
    Article{"LAVETE", "SET", "CONSUMABIL", 5, 25, false, false},
    Article{"RAFT METALIC", "BUC", "OBIECT DE INVENTAR", 150, 800, true, false},
    Article{"SCAUN BIROU", "BUC", "OBIECT DE INVENTAR", 200, 900, true, false},
    Article{"IMPRIMANTA", "BUC", "OBIECT DE INVENTAR", 400, 1500, true, false},
};

constexpr std::array kMakers = {
    "CARPAT",     "DUNAREA", "MURES",    "OLTENIA", "SOMES",    "BANAT",     "BUCOVINA", "ARDEAL",
    "TRANSALPIN", "MOLDOVA", "DOBROGEA", "CRISANA", "AUTONOVA", "TEHNOSTAR", "PROFIX",   "MEGATEH"};

constexpr std::array kVariantWords = {"STANDARD", "PREMIUM", "ECO",   "PRO",   "CLASIC",
                                      "EXTRA",    "PLUS",    "MAXI",  "MINI",  "SPORT",
                                      "TURBO",    "RAPID",   "FORTE", "ULTRA", "CONFORT"};

constexpr std::array kFirstNames = {
    "ION",     "MARIA",    "ANDREI",   "ELENA",   "GHEORGHE",  "IOANA",  "MIHAI",      "ANA",
    "VASILE",  "ADRIANA",  "CRISTIAN", "DANIELA", "ALEXANDRU", "MONICA", "FLORIN",     "CARMEN",
    "DUMITRU", "GABRIELA", "STEFAN",   "LAURA",   "NICOLAE",   "ALINA",  "CONSTANTIN", "OANA",
    "PETRU",   "RALUCA",   "SORIN",    "CORINA",  "TUDOR",     "IRINA",  "BOGDAN",     "ROXANA"};

constexpr std::array kSurnames = {
    "POPESCU", "IONESCU",    "POPA",    "RADU",     "DUMITRU",  "STAN",     "STOICA", "GHEORGHE",
    "MATEI",   "CONSTANTIN", "MARIN",   "TUDOR",    "DOBRE",    "BARBU",    "NISTOR", "FLOREA",
    "ENE",     "DINU",       "NEAGU",   "MOLDOVAN", "MUNTEANU", "LUPU",     "SERBAN", "CIOBANU",
    "ROTARU",  "MIHAILA",    "CRISTEA", "TOMA",     "BALAN",    "COJOCARU", "OPREA",  "SANDU",
    "URSU",    "VLAD",       "POP",     "MURESAN",  "SZABO",    "BOGDAN",   "FARCAS", "COSTEA"};

constexpr std::array kCompanyWords = {
    "CONSTRUCT", "TRANS", "IMPEX",   "COM",    "SERV",     "INVEST", "DISTRIBUTIE",
    "AGRO",      "TEHNO", "AUTO",    "DESIGN", "LOGISTIC", "GRUP",   "INDUSTRIAL",
    "COMERT",    "PROD",  "ELECTRO", "MOBILA", "INSTAL",   "CONSULT"};

// Bucharest is written as the e-invoice wants it: the municipality as county, a sector as
// locality (the name is too long for a constant-expression string).
const std::array kPlaces = {Place{"CLUJ-NAPOCA", "CLUJ", "CJ"},
                            Place{"TURDA", "CLUJ", "CJ"},
                            Place{"DEJ", "CLUJ", "CJ"},
                            Place{"GHERLA", "CLUJ", "CJ"},
                            Place{"SECTOR1", "MUNICIPIUL BUCURESTI", "B"},
                            Place{"BRASOV", "BRASOV", "BV"},
                            Place{"SIBIU", "SIBIU", "SB"},
                            Place{"ORADEA", "BIHOR", "BH"},
                            Place{"TIMISOARA", "TIMIS", "TM"},
                            Place{"IASI", "IASI", "IS"},
                            Place{"CRAIOVA", "DOLJ", "DJ"},
                            Place{"CONSTANTA", "CONSTANTA", "CT"},
                            Place{"ALBA IULIA", "ALBA", "AB"},
                            Place{"BISTRITA", "BISTRITA-NASAUD", "BN"},
                            Place{"ZALAU", "SALAJ", "SJ"},
                            Place{"BAIA MARE", "MARAMURES", "MM"},
                            Place{"TARGU MURES", "MURES", "MS"},
                            Place{"ARAD", "ARAD", "AR"},
                            Place{"PITESTI", "ARGES", "AG"},
                            Place{"PLOIESTI", "PRAHOVA", "PH"},
                            Place{"SUCEAVA", "SUCEAVA", "SV"},
                            Place{"DEVA", "HUNEDOARA", "HD"},
                            Place{"FLORESTI", "CLUJ", "CJ"},
                            Place{"SECTOR4", "MUNICIPIUL BUCURESTI", "B"}};

constexpr std::array kStreets = {
    "STR. MEMORANDUMULUI", "STR. AVRAM IANCU",   "BD. 21 DECEMBRIE 1989",
    "STR. HOREA",          "CALEA DOROBANTILOR", "STR. PRIMAVERII",
    "STR. FABRICII",       "STR. MORII",         "BD. EROILOR",
    "STR. LIBERTATII",     "STR. GARII",         "STR. OBSERVATORULUI",
    "CALEA TURZII",        "STR. UNIRII",        "STR. TRANDAFIRILOR",
    "STR. INDEPENDENTEI",  "STR. MIHAI VITEAZU", "STR. TEILOR",
    "BD. MUNCII",          "STR. ZORILOR"};

struct Bank {
    const char* name;
    const char* code;
};
constexpr std::array kBanks = {
    Bank{"BANCA TRANSILVANIA", "BTRL"}, Bank{"BCR", "RNCB"},       Bank{"BRD", "BRDE"},
    Bank{"CEC BANK", "CECE"},           Bank{"ING BANK", "INGB"},  Bank{"RAIFFEISEN BANK", "RZBR"},
    Bank{"UNICREDIT BANK", "BACX"},     Bank{"TREZORERIA", "TREZ"}};

constexpr std::array kCars = {"DACIA LOGAN",   "DACIA SANDERO",  "DACIA DUSTER", "VW GOLF",
                              "VW PASSAT",     "FORD FOCUS",     "RENAULT CLIO", "OPEL ASTRA",
                              "SKODA OCTAVIA", "TOYOTA COROLLA", "AUDI A4",      "BMW SERIA 3",
                              "HYUNDAI I30",   "KIA CEED",       "PEUGEOT 308",  "FIAT PUNTO"};

struct Service {
    const char* group;
    const char* subgroup;
    const char* name;
    const char* um;
    long long minPrice;
    long long maxPrice;
};
constexpr std::array kServices = {
    Service{"MECANICA", "MOTOR", "SCHIMB ULEI SI FILTRE", "BUC", 60, 150},
    Service{"MECANICA", "MOTOR", "INLOCUIRE CUREA DISTRIBUTIE", "BUC", 250, 700},
    Service{"MECANICA", "FRANE", "INLOCUIRE PLACUTE FRANA", "BUC", 80, 200},
    Service{"MECANICA", "FRANE", "INLOCUIRE DISCURI FRANA", "BUC", 120, 300},
    Service{"MECANICA", "TRANSMISIE", "INLOCUIRE KIT AMBREIAJ", "BUC", 400, 900},
    Service{"MECANICA", "SUSPENSIE", "INLOCUIRE AMORTIZOARE", "BUC", 150, 400},
    Service{"MECANICA", "GENERAL", "MANOPERA MECANICA", "ORA", 80, 150},
    Service{"ELECTRICA", "DIAGNOZA", "DIAGNOZA COMPUTERIZATA", "BUC", 80, 200},
    Service{"ELECTRICA", "CLIMA", "INCARCARE FREON", "BUC", 150, 300},
    Service{"ELECTRICA", "GENERAL", "MANOPERA ELECTRICA", "ORA", 90, 160},
    Service{"ROTI", "ECHILIBRARE", "ECHILIBRARE ROTI", "BUC", 15, 40},
    Service{"ROTI", "GEOMETRIE", "GEOMETRIE ROTI", "BUC", 100, 200},
    Service{"ROTI", "VULCANIZARE", "MONTAJ ANVELOPE", "BUC", 20, 50},
    Service{"CURATENIE", "INTERIOR", "SPALARE INTERIOR", "BUC", 50, 150},
    Service{"CURATENIE", "EXTERIOR", "SPALARE EXTERIOR", "BUC", 30, 80},
    Service{"TRANSPORT", "LIVRARE", "TRANSPORT MARFA", "KM", 2, 5},
    Service{"MONTAJ", "ACCESORII", "MONTAJ ACCESORII", "BUC", 50, 200},
    Service{"MONTAJ", "INSTALATII", "MONTAJ INSTALATII SANITARE", "ORA", 70, 150},
};

template <typename T, size_t N>
const T& any(Random& rng, const std::array<T, N>& a) {
    return a[rng.below(N)];
}

std::string digits(Random& rng, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += static_cast<char>('0' + rng.below(10));
    if (s[0] == '0') s[0] = '1';
    return s;
}

// ISO 13616 check digits of a Romanian account: 98 - (BBAN + "RO00" as digits) mod 97.
std::string ibanCheck(const std::string& bban) {
    std::string moved = bban + "RO00";
    int mod = 0;
    for (char c : moved) {
        if (c >= '0' && c <= '9') {
            mod = (mod * 10 + (c - '0')) % 97;
        } else {
            int v = c - 'A' + 10;
            mod = (mod * 100 + v) % 97;
        }
    }
    int check = 98 - mod;
    return std::string(1, static_cast<char>('0' + check / 10)) +
           static_cast<char>('0' + check % 10);
}

}  // namespace

ProductName ProductNamer::next(Random& rng) {
    const Article& a = any(rng, kArticles);
    ProductName p;
    p.um = a.um;
    p.category = a.category;
    p.minPrice = a.minPrice;
    p.maxPrice = a.maxPrice;
    p.warranty = a.warranty;
    p.bulk = a.bulk;
    std::string base =
        std::string(a.noun) + " " + any(rng, kMakers) + " " + any(rng, kVariantWords);
    if (rng.chance(600)) base += " " + std::to_string(rng.between(1, 99) * 10);
    std::string name = base;
    for (int n = 2; std::binary_search(used_.begin(), used_.end(), name); ++n)
        name = base + " V" + std::to_string(n);
    used_.insert(std::lower_bound(used_.begin(), used_.end(), name), name);
    p.name = name;
    return p;
}

std::string personName(Random& rng) {
    return std::string(any(rng, kSurnames)) + " " + any(rng, kFirstNames);
}

std::string companyName(Random& rng) {
    std::string middle =
        rng.chance(500) ? std::string(any(rng, kSurnames)) : std::string(any(rng, kCompanyWords));
    std::string second = any(rng, kCompanyWords);
    if (second == middle) second = "SERVICE";
    std::string name = "SC " + middle + " " + second + (rng.chance(900) ? " SRL" : " SA");
    return name.substr(0, 32);
}

Place randomPlace(Random& rng) {
    return any(rng, kPlaces);
}

std::string streetAddress(Random& rng) {
    return std::string(any(rng, kStreets)) + " NR. " + std::to_string(rng.between(1, 150));
}

void bankAccount(Random& rng, std::string& bank, std::string& iban) {
    const Bank& b = any(rng, kBanks);
    bank = b.name;
    std::string bban = std::string(b.code);
    for (int i = 0; i < 16; ++i) {
        uint64_t r = rng.below(36);
        bban += static_cast<char>(r < 10 ? '0' + r : 'A' + (r - 10));
    }
    iban = "RO" + ibanCheck(bban) + bban;
}

Party company(Random& rng, bool vatPayer) {
    Party p;
    p.name = companyName(rng);
    p.taxCode = (vatPayer ? "RO" : "") + digits(rng, static_cast<int>(rng.between(6, 8)));
    p.place = randomPlace(rng);
    p.tradeRegister = "J" + std::to_string(rng.between(1, 52)) + "/" +
                      std::to_string(rng.between(100, 9999)) + "/" +
                      std::to_string(rng.between(1995, 2015));
    p.address = streetAddress(rng);
    bankAccount(rng, p.bank, p.account);
    return p;
}

Party person(Random& rng) {
    Party p;
    p.name = personName(rng);
    p.place = randomPlace(rng);
    p.address = streetAddress(rng);
    return p;
}

std::string carModel(Random& rng) {
    return any(rng, kCars);
}

std::string plate(Random& rng, const Place& place) {
    std::string s = place.plateCode + " " + std::to_string(rng.between(10, 99)) + " ";
    for (int i = 0; i < 3; ++i) s += static_cast<char>('A' + rng.below(26));
    return s;
}

std::string barcode(Random& rng) {
    return "594" + digits(rng, 10);
}

ServiceName serviceName(size_t i) {
    const Service& s = kServices[i % kServices.size()];
    ServiceName n;
    n.group = s.group;
    n.subgroup = s.subgroup;
    n.name = s.name;
    n.um = s.um;
    n.minPrice = s.minPrice;
    n.maxPrice = s.maxPrice;
    // Further rounds give the same work for a given car model.
    if (i >= kServices.size()) {
        const size_t round = i / kServices.size() - 1;
        n.name += " " + std::string(kCars[round % kCars.size()]);
        if (round >= kCars.size()) n.name += " " + std::to_string(round / kCars.size() + 1);
    }
    return n;
}

}  // namespace tvx::gen

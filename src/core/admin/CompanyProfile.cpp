// Loading, checking and saving the company profile; counties; access by grade.
#include "core/admin/CompanyProfile.h"

#include "core/admin/Locations.h"
#include "core/admin/Users.h"
#include "core/common/Checks.h"
#include "core/common/Lists.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/Value.h"

namespace tvx::core {

namespace {

constexpr const char* kSection = "SETARI";

bool WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// A number field as stored: leading zeros dropped, empty as "0".
std::string PlainNumber(const std::string& text) {
    const size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

const char* Tick(bool on) {
    return on ? "DA" : "NU";
}

}  // namespace

const std::vector<County>& Counties() {
    static const std::vector<County> counties = {
        {"ALBA", "RO-AB"},      {"ARAD", "RO-AR"},      {"ARGES", "RO-AG"},
        {"BACAU", "RO-BC"},     {"BIHOR", "RO-BH"},     {"BISTRITA-NASAUD", "RO-BN"},
        {"BOTOSANI", "RO-BT"},  {"BRASOV", "RO-BV"},    {"BRAILA", "RO-BR"},
        {"BUZAU", "RO-BZ"},     {"CALARASI", "RO-CL"},  {"CARAS-SEVERIN", "RO-CS"},
        {"CLUJ", "RO-CJ"},      {"CONSTANTA", "RO-CT"}, {"COVASNA", "RO-CV"},
        {"DAMBOVITA", "RO-DB"}, {"DOLJ", "RO-DJ"},      {"GALATI", "RO-GL"},
        {"GIURGIU", "RO-GR"},   {"GORJ", "RO-GJ"},      {"HARGHITA", "RO-HR"},
        {"HUNEDOARA", "RO-HD"}, {"IALOMITA", "RO-IL"},  {"IASI", "RO-IS"},
        {"ILFOV", "RO-IF"},     {"MARAMURES", "RO-MM"}, {"MEHEDINTI", "RO-MH"},
        {"MURES", "RO-MS"},     {"NEAMT", "RO-NT"},     {"OLT", "RO-OT"},
        {"PRAHOVA", "RO-PH"},   {"SALAJ", "RO-SJ"},     {"SATU MARE", "RO-SM"},
        {"SIBIU", "RO-SB"},     {"SUCEAVA", "RO-SV"},   {"TELEORMAN", "RO-TR"},
        {"TIMIS", "RO-TM"},     {"TULCEA", "RO-TL"},    {"VASLUI", "RO-VS"},
        {"VALCEA", "RO-VL"},    {"VRANCEA", "RO-VN"},   {"MUNICIPIUL BUCURESTI", "RO-B"},
    };
    return counties;
}

std::string CountyCode(const std::string& name) {
    for (const County& county : Counties())
        if (name == county.name) return county.code;
    return {};
}

void CompanyProfile::load(const Settings& settings) {
    auto read = [&](const char* key) { return settings.readSetting(kSection, key); };
    denumire = read("DENUMIRE");
    regCom = read("REGCOM");
    codFisc = read("CodFisc");
    adresa = read("ADRESA");
    localit = read("Localit");
    judet = read("JUDET");
    std::vector<std::string> names;
    for (const County& county : Counties()) names.emplace_back(county.name);
    if (SelectListItem(names, judet) < 0) judet.clear();  // not in the choice: nothing chosen
    telFax = read("TELFAX");
    capital = read("CAPSOC");
    if (capital.empty()) capital = "0";
    domeniu = read("DOMENIU");
    if (domeniu.empty()) domeniu = kGeneral;
    factSeria = read("FACTSERIA");
    factNrMax = read("FACTNRMAX");
    factNr = settings.peekIndex("FACTNR");
    chitSeria = read("CHITSERIA");
    chitNrMax = read("CHITNRMAX");
    chitNr = settings.peekIndex("CHITNR");
    avizSeria = read("AVIZSERIA");
    tvaLaInc = read("TVALAINC") == "DA";
    splitTva = read("SPLITTVA") == "DA";
    officeOld = read("OFFICEOLD") == "DA";
}

bool CompanyProfile::vatPayer() const {
    return tables::toUpperAscii(Trimmed(codFisc)).rfind("RO", 0) == 0;
}

std::optional<FieldProblem> CompanyProfile::checkForSave() {
    codFisc = Trimmed(codFisc);
    if (!codFisc.empty()) {
        std::string code = codFisc;
        if (!CheckCUI(code)) return FieldProblem{"CodFisc", "Cod Fiscal incorect!"};
    }
    // The number boxes take digits only; an empty or foreign text would store no number.
    if (!WholeNumber(factNr)) return FieldProblem{"FactNrEd", "Numar incorect!"};
    if (!WholeNumber(chitNr)) return FieldProblem{"ChitNrEd", "Numar incorect!"};
    if (!capital.empty() && !WholeNumber(capital))
        return FieldProblem{"Capital", "Numar incorect!"};
    return std::nullopt;
}

Message CompanyProfile::noAccountQuestion() {
    return {"Conturi IBAN", "\rNu ati adaugat niciun cont IBAN!\rContinuam asa?",
            MessageKind::Warning};
}

void CompanyProfile::save(Settings& settings) {
    if (!vatPayer()) splitTva = false;  // only VAT payers use split VAT
    auto write = [&](const char* key, const std::string& value) {
        settings.writeSetting(kSection, key, value);
    };
    write("DENUMIRE", denumire);
    write("REGCOM", regCom);
    write("CODFISC", codFisc);
    write("ADRESA", adresa);
    write("Localit", localit);
    write("JUDET", judet);
    write("CAPSOC", PlainNumber(capital));
    write("FACTSERIA", factSeria);
    write("FACTNRMAX", factNrMax);
    write("CHITSERIA", chitSeria);
    write("CHITNRMAX", chitNrMax);
    write("DOMENIU", domeniu);
    write("TELFAX", telFax);
    write("AVIZSERIA", avizSeria);
    write("TVALAINC", Tick(tvaLaInc));
    write("SPLITTVA", Tick(splitTva));
    write("OFFICEOLD", Tick(officeOld));
    settings.setIndex("FACTNR", PlainNumber(factNr));
    settings.setIndex("CHITNR", PlainNumber(chitNr));
}

void SaveAdministration(tables::Database& db, Settings& settings, CompanyProfile& profile,
                        const Locations& locations, const UserList* users) {
    db.atomically([&] {
        db.protectFile(settings.path());
        db.protectFile(locations.file());
        if (users) db.protectFile(users->usersFile());
        profile.save(settings);
        locations.save();
        if (users) users->save();
    });
}

const std::vector<const char*>& CompanyControls() {
    static const std::vector<const char*> names = {
        "DenumSoc",    "RegCom",      "CodFisc",           "Adresa",      "Localit",
        "Jud",         "Capital",     "DomeniuActivitate", "TelFax",      "TVALaInc",
        "SplitTVA",    "OfficeOld",   "FactSeriaEd",       "FactNrMaxEd", "FactNrEd",
        "ChitSeriaEd", "ChitNrMaxEd", "ChitNrEd",          "AvizSeria",   "GesEdit",
        "GesLista",    "AddGes",      "EditGes",           "DelGes",      "SelPoza",
        "ModelBut",
    };
    return names;
}

AdminAccess AccessForGrade(int grade) {
    AdminAccess access;
    access.companyEditable = grade != kGradeCasier;
    access.accountButtonsVisible = grade != kGradeCasier;
    access.adminOnlyEnabled = grade == kGradeAdmin;
    return access;
}

}  // namespace tvx::core

// The company profile of the administration window (core/admin): the company data, document
// series and next numbers of settings section SETARI and the counters FACTNR and CHITNR,
// loaded at start-up and whenever the window closes, checked and saved by "Salveaza si
// inchide"; the counties with their codes; what each grade may change in the window.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings;
class Locations;
class UserList;

struct County {
    const char* name;
    const char* code;  // ISO 3166-2:RO
};
// The 42 counties in the order of the county choice.
const std::vector<County>& Counties();
// The code of a county name, empty when the name is not a county.
std::string CountyCode(const std::string& name);

class CompanyProfile {
  public:
    static constexpr const char* kGeneral = "GENERAL";
    static constexpr const char* kServiceAuto = "SERVICE AUTO";

    std::string denumire, regCom, codFisc, adresa, localit;
    std::string judet;  // a county name, empty when none is chosen
    std::string telFax;
    std::string capital = "0";
    std::string domeniu = kGeneral;
    std::string factSeria, factNrMax, factNr;
    std::string chitSeria, chitNrMax, chitNr;
    std::string avizSeria;
    bool tvaLaInc = false;
    bool splitTva = false;
    bool officeOld = false;

    // Reads every field from the settings file (the next numbers by PeekIndex).
    void load(const Settings& settings);
    // The workshop controls are shown only for this activity.
    bool workshop() const { return domeniu == kServiceAuto; }
    // A VAT payer's tax code, trimmed and upper-cased, begins with "RO".
    bool vatPayer() const;

    // The checks of "Salveaza si inchide" in order; trims the tax code on the way.
    std::optional<FieldProblem> checkForSave();
    // Asked when no bank account exists; anything but Da stops the save.
    static Message noAccountQuestion();
    // Writes the SETARI keys and sets FACTNR and CHITNR; clears "SPLIT TVA" for a company
    // that is no VAT payer first. Call after checkForSave() passed.
    void save(Settings& settings);
};

// "Salveaza si inchide" after its checks and question: the profile, the location list and
// the users file are written in one transaction (all or nothing). `users` may be null.
void SaveAdministration(tables::Database& db, Settings& settings, CompanyProfile& profile,
                        const Locations& locations, const UserList* users);

// What the administration window lets a grade do.
struct AdminAccess {
    bool companyEditable = true;  // company fields, series, numbers, locations, picture
    bool accountButtonsVisible = true;
    bool adminOnlyEnabled = true;  // add / delete user, delete picture, printing templates
};
AdminAccess AccessForGrade(int grade);
// The controls that `companyEditable` governs, by control name: every company field and tick,
// the activity, county, capital, series and numbers, the location list with its edit box and
// buttons, "Alegeti Poza" and "&Modifica model Precomanda".
const std::vector<const char*>& CompanyControls();

}  // namespace tvx::core

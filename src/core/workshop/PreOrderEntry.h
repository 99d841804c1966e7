// The pre-order editor "Precomanda noua" / "Modificare Precomanda" in core (core/workshop): a
// pre-order (a reception sheet of table Precom) as plain values, the editor's fields as typed,
// resetting them, copying a stored pre-order into them, and the ordered checks of
// "&Memoreaza" with the message and the field of the first failure. The window copies its
// widgets in and out and shows the failure; storing is PreOrders'.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"
#include "tables/Date.h"
#include "tables/Decimal.h"

namespace tvx::core {

class Settings;

// Control names and limits of the editor.
constexpr const char* kPreNrCom = "NrCom";
constexpr const char* kPreDataCom = "DataCom";
constexpr const char* kPreClient = "Clientul";
constexpr const char* kPreAdresa = "Adresa";
constexpr const char* kPreTelefon = "Telefon";
constexpr const char* kPreCF = "CF";
constexpr const char* kPreRC = "RC";
constexpr const char* kPreIBAN = "IBAN";
constexpr const char* kPreBanca = "Banca";
constexpr const char* kPrePlate = "Inmatriculat";
constexpr const char* kPreSasiu = "Sasiu";
constexpr const char* kPreModel = "Model";
constexpr const char* kPreKm = "Km";
constexpr const char* kPreMotor = "Motor";
constexpr const char* kPreAsigurator = "Asigurator";
constexpr const char* kPreFiliala = "Filiala";
constexpr const char* kPreReceptOm = "ReceptOm";
constexpr const char* kPreReceptie = "Receptie";
constexpr const char* kPreReceptieOra = "ReceptieOra";
constexpr const char* kPreGarantie = "Garantie";
constexpr const char* kPreRevizie = "Revizie";
constexpr const char* kPreTermen = "Termen";
constexpr const char* kPreTermenOra = "TermenOra";
constexpr const char* kPreNivel = "Nivel";
constexpr const char* kPreObsG = "ObsG";
constexpr const char* kPreLinii = "Linii";

constexpr int kPreDescriptionLines = 19;
constexpr int kPreLineLength = 150;
constexpr int kPreObsGLength = 200;
constexpr int kPreChecks = 5;

// The fuel levels, the answers of the checks and the checked parts, as the lists show them.
const std::vector<std::string>& FuelLevels();
const std::vector<std::string>& CheckAnswers();
const std::array<const char*, kPreChecks>& CheckedParts();

// One pre-order as stored.
struct PreOrder {
    long long idCom = 0;
    long long nrCom = 0;
    tables::Date dataCom;
    std::string client, adresa, telefon, cf, rc, cont, banca;
    std::string inmatric, sasiu, model, motor, asigurator, filiala;
    long long km = 0;
    std::string recepOm;
    tables::Date receptie, termen, garantie;
    int receptieMinutes = 0, termenMinutes = 0;
    std::string revizie;
    std::array<std::string, kPreDescriptionLines> linii;
    std::string nivel;
    std::array<std::string, kPreChecks> v, obs;
    std::string obsG;
};

// The editor's fields, as typed.
class PreOrderEntry {
  public:
    static constexpr const char* kNewCaption = "Precomanda noua";
    static constexpr const char* kEditCaption = "Modificare Precomanda";

    std::string nrCom, km;
    tables::Date dataCom, receptie, termen, garantie;
    int receptieMinutes = 0, termenMinutes = 0;
    std::string client, adresa, telefon, cf, rc, iban, banca;
    std::string plate, sasiu, model, motor, asigurator, filiala;
    std::string receptOm, revizie, nivel;
    std::array<std::string, kPreChecks> v, obs;
    std::string obsG;         // the remarks box, its lines ended by line ends
    std::string description;  // the description box, likewise
    // The lists of "Model" and "Receptionat de" (distinct values of Precom).
    std::vector<std::string> models, receivers;

    // Empty fields for a new pre-order: the number proposed by the counter NRCOM, today,
    // warranty from a year ago, reception now and completion three hours later (the next day
    // when that passes midnight), fuel "1 / 4", every check "DA". `models` and `receivers`
    // are the lists as read from the table.
    void reset(const Settings& settings, tables::Date today, int nowMinutes,
               std::vector<std::string> modelList, std::vector<std::string> receiverList);
    // Every field from a stored pre-order; the description shows its non-empty lines.
    void copyFrom(const PreOrder& stored);
    // A returning client or car: the copied pre-order gets a new number, today's date, no
    // receiver, reception now, completion three hours later and no description.
    void restartFrom(const Settings& settings, tables::Date today, int nowMinutes);

    // "&Memoreaza": cleans the fields in place and returns the first failed check, in order.
    std::optional<FieldProblem> check();
    // The pre-order the fields make (valid after check() passed).
    PreOrder preOrder() const;
};

}  // namespace tvx::core

// The pre-order editor's fields and checks.
#include "core/workshop/PreOrderEntry.h"

#include <utility>

#include "core/common/Checks.h"
#include "core/common/PeriodChoice.h"
#include "core/common/Settings.h"
#include "core/common/TextRoutines.h"
#include "core/common/TypedNumbers.h"

namespace tvx::core {

using tables::Date;

namespace {

constexpr int kDayMinutes = 24 * 60;
constexpr int kCompletionMinutes = 3 * 60;

// The lines of a multi-line box (CR LF, LF or CR ending each).
std::vector<std::string> BoxLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

void StartNow(PreOrderEntry& e, Date today, int nowMinutes) {
    e.receptie = today;
    e.receptieMinutes = nowMinutes;
    const int completion = nowMinutes + kCompletionMinutes;
    e.termen = completion >= kDayMinutes ? today.addDays(1) : today;
    e.termenMinutes = completion % kDayMinutes;
}

}  // namespace

const std::vector<std::string>& FuelLevels() {
    static const std::vector<std::string> levels = {"Gol", "1 / 4", "1 / 2", "3 / 4", "Plin"};
    return levels;
}

const std::vector<std::string>& CheckAnswers() {
    static const std::vector<std::string> answers = {"DA", "NU"};
    return answers;
}

const std::array<const char*, kPreChecks>& CheckedParts() {
    static const std::array<const char*, kPreChecks> parts = {
        "Roata de rezerva", "Cric", "Capace roti", "Trusa medicala", "Trusa de scule"};
    return parts;
}

void PreOrderEntry::reset(const Settings& settings, Date today, int nowMinutes,
                          std::vector<std::string> modelList,
                          std::vector<std::string> receiverList) {
    *this = PreOrderEntry();
    nrCom = settings.peekIndex("NRCOM");
    dataCom = today;
    models = std::move(modelList);
    receivers = std::move(receiverList);
    km = "0";
    garantie = AddMonths(today, -12);
    StartNow(*this, today, nowMinutes);
    nivel = "1 / 4";
    v.fill("DA");
}

void PreOrderEntry::copyFrom(const PreOrder& p) {
    nrCom = std::to_string(p.nrCom);
    dataCom = p.dataCom;
    client = p.client;
    adresa = p.adresa;
    telefon = p.telefon;
    cf = p.cf;
    rc = p.rc;
    plate = p.inmatric;
    sasiu = p.sasiu;
    model = p.model;
    km = std::to_string(p.km);
    motor = p.motor;
    asigurator = p.asigurator;
    receptie = p.receptie;
    receptieMinutes = p.receptieMinutes;
    termen = p.termen;
    termenMinutes = p.termenMinutes;
    receptOm = p.recepOm;
    garantie = p.garantie;
    iban = p.cont;
    banca = p.banca;
    revizie = p.revizie;
    filiala = p.filiala;
    description.clear();
    for (const std::string& line : p.linii) {
        if (line.empty()) continue;
        if (!description.empty()) description += '\n';
        description += line;
    }
    nivel = p.nivel;
    v = p.v;
    obs = p.obs;
    obsG = p.obsG;
}

void PreOrderEntry::restartFrom(const Settings& settings, Date today, int nowMinutes) {
    nrCom = settings.peekIndex("NRCOM");
    dataCom = today;
    receptOm.clear();
    StartNow(*this, today, nowMinutes);
    description.clear();
}

std::optional<FieldProblem> PreOrderEntry::check() {
    if (TypedNumber(nrCom) < tables::Decimal(1))
        return FieldProblem{kPreNrCom, "Numar de comanda incorect!"};
    client = CleanText(client);
    adresa = CleanText(adresa);
    cf = RemoveSpaces(cf);
    if (!cf.empty()) {
        if (CharCount(cf) == 13) {
            if (!CheckCNP(cf)) return FieldProblem{kPreCF, "CNP incorect!"};
        } else if (std::string code = cf; !CheckCUI(code)) {
            return FieldProblem{kPreCF, "Cod Fiscal incorect!"};
        }
    }
    rc = RemoveSpaces(rc);
    iban = RemoveSpaces(iban);
    if (!iban.empty()) {
        std::string code = iban, bank;
        if (!CheckIBAN(code, bank)) return FieldProblem{kPreIBAN, "Cont IBAN incorect!"};
    }
    plate = RemoveSpaces(plate);
    if (plate.empty()) return FieldProblem{kPrePlate, "Lipseste Numarul de inmatriculare!"};
    model = CleanText(model);
    if (Trimmed(km).empty()) km = "0";
    receptOm = CleanText(receptOm);
    if (termen < receptie) return FieldProblem{kPreTermen, "Termen Estimativ aberant!"};
    // The table keeps 19 description lines of 150 characters and 200 of remarks: more is
    // refused rather than cut.
    const std::vector<std::string> lines = BoxLines(description);
    if (lines.size() > kPreDescriptionLines)
        return FieldProblem{kPreLinii, "Descrierea are mai mult de 19 randuri!"};
    for (size_t n = 0; n < lines.size(); ++n)
        if (CharCount(lines[n]) > kPreLineLength)
            return FieldProblem{kPreLinii, "Randul " + std::to_string(n + 1) +
                                               " al descrierii are peste 150 de caractere!"};
    if (CharCount(JoinLines(obsG)) > kPreObsGLength)
        return FieldProblem{kPreObsG, "Observatiile au peste 200 de caractere!"};
    return std::nullopt;
}

PreOrder PreOrderEntry::preOrder() const {
    PreOrder p;
    p.nrCom = TypedNumber(nrCom).rescaled(0, tables::Rounding::Truncate).toLongLong();
    p.dataCom = dataCom;
    p.client = client;
    p.adresa = adresa;
    p.telefon = telefon;
    p.cf = cf;
    p.rc = rc;
    p.cont = iban;
    p.banca = banca;
    p.inmatric = plate;
    p.sasiu = sasiu;
    p.model = model;
    p.km = TypedNumber(km).rescaled(0, tables::Rounding::Truncate).toLongLong();
    p.motor = motor;
    p.asigurator = asigurator;
    p.filiala = filiala;
    p.recepOm = receptOm;
    p.receptie = receptie;
    p.receptieMinutes = receptieMinutes;
    p.termen = termen;
    p.termenMinutes = termenMinutes;
    p.garantie = garantie;
    p.revizie = revizie;
    const std::vector<std::string> lines = BoxLines(description);
    for (size_t n = 0; n < lines.size() && n < p.linii.size(); ++n) p.linii[n] = lines[n];
    p.nivel = nivel;
    p.v = v;
    p.obs = obs;
    p.obsG = JoinLines(obsG);
    return p;
}

}  // namespace tvx::core

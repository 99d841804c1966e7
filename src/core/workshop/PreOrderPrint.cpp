// The reception sheet filled from a pre-order.
#include "core/workshop/PreOrderPrint.h"

#include <system_error>

#include "core/admin/PrintTemplates.h"
#include "core/common/DayStamp.h"
#include "core/common/Templates.h"

namespace tvx::core {

namespace fs = std::filesystem;

namespace {
constexpr const char* kPrintTitle = "Listare Precomanda";
}

bool EnsurePreorderTemplate(const fs::path& dataDir) {
    const fs::path file = PreorderTemplateFile(dataDir);
    std::error_code ec;
    if (fs::exists(file, ec)) return true;
    return ExtractTemplate(kPreorderTemplateName, kTemplateKind, file);
}

std::optional<Message> PreorderTemplateForEditing(const fs::path& dataDir,
                                                  const std::string& title) {
    EnsurePreorderTemplate(dataDir);  // a failure is said below, naming the file
    return MissingTemplate(title, PreorderTemplateFile(dataDir));
}

std::vector<RtfPair> PreOrderPairs(const PreOrder& p) {
    const std::string reception = p.receptie.toString() + " " + TimeText(p.receptieMinutes);
    const std::string completion = p.termen.toString() + " " + TimeText(p.termenMinutes);
    std::vector<RtfPair> pairs = {{"[NRCOM]", std::to_string(p.nrCom)},
                                  {"[DATACOM]", p.dataCom.toString()},
                                  {"[CLIENT]", p.client},
                                  {"[ADRESA]", p.adresa},
                                  {"[TELEFON]", p.telefon},
                                  {"[CF]", p.cf},
                                  {"[RC]", p.rc},
                                  {"[CONT]", p.cont + " " + p.banca},
                                  {"[INMATRICULAT]", p.inmatric},
                                  {"[SASIU]", p.sasiu},
                                  {"[MODEL]", p.model},
                                  {"[RECEPTIE]", reception},
                                  {"[KM]", std::to_string(p.km)},
                                  {"[MOTOR]", p.motor},
                                  {"[ASIGURATOR]", p.asigurator},
                                  {"[RECEPTIONIER]", p.recepOm},
                                  {"[GARANTIE]", p.garantie.toString()},
                                  {"[REVIZIE]", p.revizie},
                                  {"[FILIALA]", p.filiala},
                                  {"[TERMEN]", completion}};
    for (size_t n = 0; n < p.linii.size(); ++n) {
        const std::string number = std::to_string(n + 1);
        const bool used = !p.linii[n].empty();
        pairs.push_back({"[NR" + number + "]", used ? number : " "});
        pairs.push_back({"[LINIA" + number + "]", used ? p.linii[n] : " "});
    }
    pairs.push_back({"[NIVEL]", p.nivel});
    for (size_t n = 0; n < p.v.size(); ++n)
        pairs.push_back({"[V" + std::to_string(n + 1) + "]", p.v[n]});
    for (size_t n = 0; n < p.obs.size(); ++n)
        pairs.push_back({"[OBS" + std::to_string(n + 1) + "]", p.obs[n]});
    pairs.push_back({"[OBSG]", p.obsG});
    return pairs;
}

PreOrderPrintout PrintPreOrder(const fs::path& dataDir, const fs::path& programFolder,
                               const PreOrder& preOrder) {
    RtfReplace filler;
    filler.RTFSursa = PreorderTemplateFile(dataDir);
    if (!filler.BeginDocument())
        return {Message{kPrintTitle, "Nu exista fisierul " + filler.RTFSursa.string() + " !",
                        MessageKind::Error},
                {}};
    if (!filler.PickDestination(programFolder))
        return {Message{kPrintTitle,
                        "Nu am gasit un nume liber (0.rtf ... 99.rtf) in " +
                            programFolder.string() + " !",
                        MessageKind::Error},
                {}};
    for (const RtfPair& pair : PreOrderPairs(preOrder))
        filler.AddPair(pair.placeholder, pair.value);
    filler.WriteBody(1);
    filler.EndDocument();
    return {std::nullopt, filler.RTFDest};
}

}  // namespace tvx::core

// Checks of the user dialog (core/common).
#include "core/common/UserEntry.h"

#include <algorithm>

#include "core/admin/Users.h"
#include "core/common/TextRoutines.h"

namespace tvx::core {

const std::vector<std::string>& UserEntry::gradeNames() {
    static const std::vector<std::string> names = {"CONTABIL", "CASIER"};
    return names;
}

int UserEntry::gradeNumber() const {
    const auto& names = gradeNames();
    return GradeFromName(names[std::clamp<size_t>(grade < 0 ? 0 : grade, 0, names.size() - 1)]);
}

std::optional<FieldProblem> UserEntry::confirm(const std::vector<std::string>& existingNames) {
    name = CleanText(name);
    if (name.empty()) return FieldProblem{"Nume", "Lipseste numele!"};
    if (title.find("Adaugare") != std::string::npos &&
        std::find(existingNames.begin(), existingNames.end(), name) != existingNames.end())
        return FieldProblem{"Nume", "Acest nume mai exista!"};
    if (passwordsEnabled && password != confirmation)
        return FieldProblem{"Pas2", "Parola nu e la fel ca mai sus!"};
    return std::nullopt;
}

}  // namespace tvx::core

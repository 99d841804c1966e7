// The user dialog's state and the checks of its "Memoreaza" (core/common): name, grade
// (CONTABIL or CASIER) and the password typed twice, checked against the users already
// listed when a user is being added.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"

namespace tvx::core {

class UserEntry {
  public:
    static constexpr size_t kMaxLength = 32;
    // The grade choice in order; the first is chosen by default.
    static const std::vector<std::string>& gradeNames();

    std::string title;  // "Adaugare Utilizator" or "Modificare utilizator"
    std::string name;
    int grade = 0;  // index into gradeNames()
    std::string password;
    std::string confirmation;
    bool passwordsEnabled = true;

    // "Memoreaza": cleans the name (the window puts it back), then refuses, in this order, an
    // empty name ("Nume"), a name already among `existingNames` while adding ("Nume"), and
    // differing passwords when their boxes are enabled ("Pas2").
    std::optional<FieldProblem> confirm(const std::vector<std::string>& existingNames);
    // The grade number of the chosen item (1 CONTABIL, 2 CASIER).
    int gradeNumber() const;
};

}  // namespace tvx::core

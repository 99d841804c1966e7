// The IBAN dialog's check on every change (core/common).
#include "core/common/IbanEntry.h"

#include "core/common/Checks.h"
#include "core/common/TextRoutines.h"

namespace tvx::core {

void IbanEntry::setText(const std::string& typed) {
    typed_ = typed;
    std::string iban = typed;
    std::string bank;
    valid_ = CheckIBAN(iban, bank);
    bankLine_ = valid_ ? bank : "Cont incorect !";
}

std::string IbanEntry::result() const {
    return RemoveSpaces(typed_);
}

}  // namespace tvx::core

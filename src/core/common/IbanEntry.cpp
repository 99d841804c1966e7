// The IBAN dialog's check on every change (core/common).
#include "core/common/IbanEntry.h"

#include "core/common/Checks.h"

namespace tvx::core {

void IbanEntry::setText(const std::string& typed) {
    iban_ = typed;
    std::string bank;
    valid_ = CheckIBAN(iban_, bank);
    bankLine_ = valid_ ? bank : "Cont incorect !";
}

}  // namespace tvx::core

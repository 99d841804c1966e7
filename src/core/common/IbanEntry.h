// The IBAN dialog's state (core/common): the typed account, checked on every change, the
// bank line it shows and whether it may be saved.
#pragma once

#include <string>

#include "core/common/Checks.h"

namespace tvx::core {

class IbanEntry {
  public:
    // The field takes an IBAN typed in groups with blanks.
    static constexpr size_t kMaxLength = kTypedIbanLength;

    // Re-checks the typed text (on every change of the field).
    void setText(const std::string& typed);
    // The bank line: the bank's name for an accepted IBAN, "Cont incorect !" otherwise.
    const std::string& bankLine() const { return bankLine_; }
    bool canSave() const { return valid_; }
    // The IBAN to store on confirm: the 24-character form the check made of the typed text.
    const std::string& result() const { return iban_; }

  private:
    std::string iban_;
    std::string bankLine_ = "Cont incorect !";
    bool valid_ = false;
};

}  // namespace tvx::core

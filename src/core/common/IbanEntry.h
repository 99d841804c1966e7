// The IBAN dialog's state (core/common): the typed account, checked on every change, the
// bank line it shows and whether it may be saved.
#pragma once

#include <string>

namespace tvx::core {

class IbanEntry {
  public:
    static constexpr size_t kMaxLength = 24;

    // Re-checks the typed text (on every change of the field).
    void setText(const std::string& typed);
    // The bank line: the bank's name for an accepted IBAN, "Cont incorect !" otherwise.
    const std::string& bankLine() const { return bankLine_; }
    bool canSave() const { return valid_; }
    // The IBAN to store on confirm: the typed text without blanks.
    std::string result() const;

  private:
    std::string typed_;
    std::string bankLine_ = "Cont incorect !";
    bool valid_ = false;
};

}  // namespace tvx::core

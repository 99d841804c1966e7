// Bank accounts of the company (core/admin): the IBANs of table Conturi as the account choice
// of the administration window shows them, the bank name of an IBAN, and adding, changing
// and deleting an account, each written to the table at once.
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

// The bank that the IBAN check names for `iban` (empty when none).
std::string BankNameOf(const std::string& iban);

// The company account printed on the documents that carry the current company data (the
// delivery note, and the estimate of an invoice without its own account): the first account
// of Conturi in sorted order, empty when the company has none.
std::string FirstCompanyAccount(tables::Database& db);

class BankAccounts {
  public:
    explicit BankAccounts(tables::Database& db);

    // Refills the list with the distinct accounts of Conturi, sorted, and chooses the first
    // (the account the documents print), so that an opened window shows a saved account and
    // its bank; nothing is chosen only when there is no account.
    void load();
    const std::vector<std::string>& accounts() const { return accounts_; }
    int selected = -1;
    // The line under the choice: the bank of the chosen account.
    std::string selectedBank() const;
    // "Modifica Cont" and "Sterge Cont" work only when there is an account.
    bool canChange() const { return !accounts_.empty(); }
    // "Modifica Cont" and "Sterge Cont" act on the chosen account: the balloon at the
    // choice when none is chosen.
    std::optional<FieldProblem> choiceProblem() const;

    // Adds the account the IBAN dialog gave, with a new IDCONT (counter and row in one
    // transaction); returns the refusal when the IBAN is already listed.
    std::optional<Message> add(Settings& settings, const std::string& iban,
                               const std::string& bank);
    // Changes the chosen account; refused when the new IBAN is another listed one.
    std::optional<Message> modify(const std::string& newIban, const std::string& bank);
    Message deleteQuestion() const;
    // Deletes the chosen account after a confirmed question.
    void remove();

  private:
    static Message duplicate();
    tables::Database& db_;
    std::vector<std::string> accounts_;
};

}  // namespace tvx::core

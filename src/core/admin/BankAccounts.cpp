// The bank accounts of table Conturi and their commands.
#include "core/admin/BankAccounts.h"

#include <algorithm>

#include "core/common/Checks.h"
#include "core/common/Lists.h"
#include "core/common/Schema.h"
#include "core/common/Settings.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

using tables::EngineError;

namespace {

std::string ConturiTable(const tables::Database& db) {
    return QuotedPath(TableFile(db, "Conturi"));
}

}  // namespace

std::string BankNameOf(const std::string& iban) {
    std::string normalised = iban;
    std::string bank;
    CheckIBAN(normalised, bank);
    return bank;
}

std::string FirstCompanyAccount(tables::Database& db) {
    const std::vector<std::string> accounts =
        FillDistinct(db, TableFile(db, "Conturi").string(), "", "CONT");
    return accounts.empty() ? std::string() : accounts.front();
}

BankAccounts::BankAccounts(tables::Database& db) : db_(db) {}

void BankAccounts::load() {
    accounts_.clear();
    accounts_ = FillDistinct(db_, TableFile(db_, "Conturi").string(), "", "CONT");
    std::sort(accounts_.begin(), accounts_.end());
    selected = accounts_.empty() ? -1 : 0;
}

std::string BankAccounts::selectedBank() const {
    if (selected < 0 || selected >= static_cast<int>(accounts_.size())) return {};
    return BankNameOf(accounts_[selected]);
}

std::optional<FieldProblem> BankAccounts::choiceProblem() const {
    if (selected >= 0 && selected < static_cast<int>(accounts_.size())) return std::nullopt;
    return FieldProblem{"Cont", "Alegeti mai intai un cont din lista!"};
}

Message BankAccounts::duplicate() {
    return {"Adaugare IBAN", "\rContul IBAN exista deja in lista!", MessageKind::Error};
}

std::optional<Message> BankAccounts::add(Settings& settings, const std::string& iban,
                                         const std::string& bank) {
    if (std::find(accounts_.begin(), accounts_.end(), iban) != accounts_.end()) return duplicate();
    db_.atomically([&] {
        db_.protectFile(settings.path());
        const std::string id = settings.nextIndex("IDCONT");
        db_.execute("INSERT INTO " + ConturiTable(db_) +
                        " (IDCONT, CONT, BANCA) VALUES (:id, :cont, :banca)",
                    {{"id", id}, {"cont", iban}, {"banca", bank}});
    });
    accounts_.push_back(iban);
    std::sort(accounts_.begin(), accounts_.end());
    selected =
        static_cast<int>(std::find(accounts_.begin(), accounts_.end(), iban) - accounts_.begin());
    return std::nullopt;
}

std::optional<Message> BankAccounts::modify(const std::string& newIban, const std::string& bank) {
    if (selected < 0 || selected >= static_cast<int>(accounts_.size()))
        throw EngineError("No bank account chosen to change", "Conturi");
    const std::string oldIban = accounts_[selected];
    if (newIban != oldIban &&
        std::find(accounts_.begin(), accounts_.end(), newIban) != accounts_.end())
        return duplicate();
    db_.execute("UPDATE " + ConturiTable(db_) + " SET CONT=:new, BANCA=:banca WHERE CONT=:old",
                {{"new", newIban}, {"banca", bank}, {"old", oldIban}});
    accounts_[selected] = newIban;
    std::sort(accounts_.begin(), accounts_.end());
    selected = static_cast<int>(std::find(accounts_.begin(), accounts_.end(), newIban) -
                                accounts_.begin());
    return std::nullopt;
}

Message BankAccounts::deleteQuestion() const {
    return {"Stergere IBAN", "\r Doriti sa stergeti contul " + accounts_.at(selected) + " ?",
            MessageKind::Confirmation};
}

void BankAccounts::remove() {
    if (selected < 0 || selected >= static_cast<int>(accounts_.size()))
        throw EngineError("No bank account chosen to delete", "Conturi");
    db_.execute("DELETE FROM " + ConturiTable(db_) + " WHERE CONT=:c",
                {{"c", accounts_[selected]}});
    accounts_.erase(accounts_.begin() + selected);
    selected = -1;
}

}  // namespace tvx::core

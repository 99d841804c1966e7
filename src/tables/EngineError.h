// Errors of the table engine (tables/ layer). Every failure of a file or a statement is
// thrown as EngineError with a message that names the table and, for statements, the
// position in the statement text (1-based character offset, 0 when unknown).
#pragma once

#include <stdexcept>
#include <string>

namespace tvx::tables {

class EngineError : public std::runtime_error {
  public:
    explicit EngineError(const std::string& message) : std::runtime_error(message) {}
    EngineError(const std::string& message, std::string table, int position = 0)
        : std::runtime_error(compose(message, table, position)),
          table_(std::move(table)),
          position_(position) {}

    const std::string& table() const { return table_; }
    int position() const { return position_; }

  private:
    static std::string compose(const std::string& message, const std::string& table, int position) {
        std::string text = message;
        if (!table.empty()) text += " (table " + table + ")";
        if (position > 0) text += " at position " + std::to_string(position);
        return text;
    }
    std::string table_;
    int position_ = 0;
};

}  // namespace tvx::tables

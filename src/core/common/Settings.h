// The settings file "Tvx2010.set" of the data directory (core/common): INI text in
// Windows-1250, section and key names matched ignoring case, read and written by each
// operation (nothing cached), written atomically (temporary file + rename) so a crash
// never leaves it truncated; lines a write does not change keep their bytes. Counters of
// section INDEX give out identifiers and document numbers; inside a table transaction the
// file is carried by the transaction, so a rolled-back document gives its numbers back.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace tvx::tables {
class Database;
}

namespace tvx::core {

class Settings {
  public:
    // `file`: the settings file's path. `db` (optional): the data directory's engine; every
    // write goes through its journal (carried by the open transaction, or one of its own).
    explicit Settings(std::filesystem::path file, tables::Database* db = nullptr);

    const std::filesystem::path& path() const { return file_; }

    // Value of section/key; empty text when the file, the section or the key is absent.
    std::string readSetting(const std::string& section, const std::string& key) const;
    // Sets section/key (creating file and section when needed); an empty value keeps the key.
    void writeSetting(const std::string& section, const std::string& key, const std::string& value);
    void deleteSetting(const std::string& section, const std::string& key);
    // Every key of a section with its value, in file order; none when the section is absent.
    std::vector<std::pair<std::string, std::string>> readKeys(const std::string& section) const;

    // INDEX/name; empty counts as "1". NextIndex returns it and stores it plus 1; a counter
    // that holds anything but a whole number throws EngineError naming the settings file
    // (nothing written) rather than start again and repeat an identifier.
    std::string nextIndex(const std::string& counter);
    std::string peekIndex(const std::string& counter) const;
    // The same as numbers.
    long long nextNumber(const std::string& counter);
    long long peekNumber(const std::string& counter) const;
    void setIndex(const std::string& counter, const std::string& value);

    // CONS/TVAPROC as a number; 19 when absent or not a number.
    int readVatRate() const;
    void writeVatRate(int rate);

  private:
    void store(const std::string& bytes);

    std::filesystem::path file_;
    tables::Database* db_;
};

}  // namespace tvx::core

// The settings file (core/common): an INI text in Windows-1250 read whole by every operation,
// changed line by line so that comments, unknown keys and the order of everything else stay
// as they were, and written back atomically with CR LF line ends.
#include "core/common/Settings.h"

#include <optional>
#include <utility>
#include <vector>

#include "core/common/AtomicFile.h"
#include "tables/Database.h"
#include "tables/EngineError.h"
#include "tables/Value.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::equalsIgnoreCase;

namespace {

constexpr const char* kIndexSection = "INDEX";
constexpr const char* kVatSection = "CONS";
constexpr const char* kVatKey = "TVAPROC";
constexpr int kDefaultVatRate = 19;

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

// Name of the section a "[name]" line opens.
std::optional<std::string> sectionOf(const std::string& line) {
    const std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string::npos) return std::nullopt;
    return trim(std::string_view(t).substr(1, close - 1));
}

struct KeyLine {
    std::string key;
    std::string value;
};

// Key and value of a "key=value" line; comments and other lines give nothing.
std::optional<KeyLine> keyOf(const std::string& line) {
    const std::string t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[') return std::nullopt;
    const size_t eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    KeyLine k{trim(std::string_view(t).substr(0, eq)), trim(std::string_view(t).substr(eq + 1))};
    if (k.key.empty()) return std::nullopt;
    return k;
}

// The file's lines in memory: each line's own bytes (Windows-1250) and line end, so that
// the lines a write does not change are written back byte for byte, including bytes the
// code page leaves undefined and lines ended by a bare LF. Names and values are compared
// and handed out in UTF-8.
class IniLines {
  public:
    static IniLines load(const fs::path& file) {
        IniLines ini;
        const std::optional<std::string> bytes = ReadWholeFile(file);
        if (!bytes) return ini;
        ini.existed_ = true;
        const std::string& raw = *bytes;
        size_t start = 0;
        while (start < raw.size()) {
            size_t end = raw.find('\n', start);
            Line line;
            if (end == std::string::npos) {
                line.bytes = raw.substr(start);
                end = raw.size();
            } else {
                line.bytes = raw.substr(start, end - start);
                line.end = "\n";
                if (!line.bytes.empty() && line.bytes.back() == '\r') {
                    line.bytes.pop_back();
                    line.end = "\r\n";
                }
            }
            line.text = tables::dbf::cp1250ToUtf8(line.bytes);
            ini.lines_.push_back(std::move(line));
            start = end + 1;
        }
        return ini;
    }

    bool existed() const { return existed_; }

    // Index of the first line holding section/key, or -1.
    long find(const std::string& section, const std::string& key) const {
        bool inSection = false;
        for (size_t i = 0; i < lines_.size(); ++i) {
            if (auto name = sectionOf(lines_[i].text)) {
                inSection = equalsIgnoreCase(*name, section);
                continue;
            }
            if (!inSection) continue;
            auto k = keyOf(lines_[i].text);
            if (k && equalsIgnoreCase(k->key, key)) return static_cast<long>(i);
        }
        return -1;
    }

    // The keys of a section with their values, in file order.
    std::vector<std::pair<std::string, std::string>> keys(const std::string& section) const {
        std::vector<std::pair<std::string, std::string>> out;
        bool inSection = false;
        for (const Line& line : lines_) {
            if (auto name = sectionOf(line.text)) {
                inSection = equalsIgnoreCase(*name, section);
                continue;
            }
            if (!inSection) continue;
            if (auto k = keyOf(line.text)) out.emplace_back(k->key, k->value);
        }
        return out;
    }

    std::string value(const std::string& section, const std::string& key) const {
        const long at = find(section, key);
        return at < 0 ? std::string() : keyOf(lines_[static_cast<size_t>(at)].text)->value;
    }

    // Sets the key; returns false when the file already held exactly this line.
    bool set(const std::string& section, const std::string& key, const std::string& value) {
        const long at = find(section, key);
        if (at >= 0) {
            Line& line = lines_[static_cast<size_t>(at)];
            // The key keeps its own bytes; only the value is written anew.
            const std::string rawKey = trim(line.bytes.substr(0, line.bytes.find('=')));
            const std::string updated = rawKey + "=" + tables::dbf::utf8ToCp1250(value);
            if (line.bytes == updated) return false;
            line = Line{updated, tables::dbf::cp1250ToUtf8(updated), line.end};
            return true;
        }
        const std::string added = key + "=" + value;
        for (size_t i = 0; i < lines_.size(); ++i) {
            auto name = sectionOf(lines_[i].text);
            if (!name || !equalsIgnoreCase(*name, section)) continue;
            // After the section's last non-blank line, so blank separators stay in place.
            size_t insert = i + 1;
            for (size_t j = i + 1; j < lines_.size() && !sectionOf(lines_[j].text); ++j)
                if (!trim(lines_[j].text).empty()) insert = j + 1;
            insertLine(insert, added);
            return true;
        }
        insertLine(lines_.size(), "[" + section + "]");
        insertLine(lines_.size(), added);
        return true;
    }

    // Removes every line of section/key; returns whether there was one.
    bool erase(const std::string& section, const std::string& key) {
        bool any = false;
        for (long at = find(section, key); at >= 0; at = find(section, key)) {
            lines_.erase(lines_.begin() + at);
            any = true;
        }
        return any;
    }

    std::string bytes() const {
        std::string out;
        for (const Line& line : lines_) out += line.bytes + line.end;
        return out;
    }

  private:
    struct Line {
        std::string bytes;  // as on disk, without the line end
        std::string text;   // the same in UTF-8
        std::string end;    // "\r\n", "\n", or "" for a last line without one
    };

    // A new line ends as the file's first line does (CR LF in a new file).
    void insertLine(size_t at, const std::string& text) {
        std::string end = "\r\n";
        for (const Line& line : lines_) {
            if (line.end.empty()) continue;
            end = line.end;
            break;
        }
        // A last line without its line end gets one now that another follows it.
        if (at > 0 && lines_[at - 1].end.empty()) lines_[at - 1].end = end;
        const std::string bytes = tables::dbf::utf8ToCp1250(text);
        lines_.insert(lines_.begin() + static_cast<long>(at),
                      Line{bytes, tables::dbf::cp1250ToUtf8(bytes), end});
    }

    std::vector<Line> lines_;
    bool existed_ = false;
};

// A whole number as counters hold it: optional sign and up to 18 digits.
std::optional<long long> parseWhole(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size() || text.size() - i > 18) return std::nullopt;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        n = n * 10 + (text[i] - '0');
    }
    return negative ? -n : n;
}

void checkNames(const fs::path& file, const std::string& section, const std::string& key) {
    auto bad = [&](const std::string& what, const std::string& text) {
        throw tables::EngineError("Bad settings " + what + " \"" + text + "\" for " +
                                  file.string());
    };
    if (trim(section).empty() || section.find_first_of("[]\r\n") != std::string::npos)
        bad("section", section);
    if (trim(key).empty() || key.find_first_of("=[\r\n") != std::string::npos ||
        trim(key).front() == ';' || trim(key).front() == '#')
        bad("key", key);
}

}  // namespace

Settings::Settings(fs::path file, tables::Database* db) : file_(std::move(file)), db_(db) {}

// With an engine every write goes through its journal: inside a table transaction the file
// is carried by it (a rollback restores it), outside one the write is a transaction of its
// own. So the journal holds the file's newest content and playing it after a crash never
// puts back an older copy over a later write.
void Settings::store(const std::string& bytes) {
    if (!db_) {
        WriteFileAtomically(file_, bytes);
        return;
    }
    db_->atomically([&] {
        db_->protectFile(fs::absolute(file_));
        WriteFileAtomically(file_, bytes, false);
    });
}

std::vector<std::pair<std::string, std::string>> Settings::readKeys(
    const std::string& section) const {
    try {
        return IniLines::load(file_).keys(trim(section));
    } catch (const tables::EngineError&) {
        return {};
    }
}

std::string Settings::readSetting(const std::string& section, const std::string& key) const {
    // An unreadable settings file reads as an empty one; writing it reports the problem.
    try {
        return IniLines::load(file_).value(trim(section), trim(key));
    } catch (const tables::EngineError&) {
        return {};
    }
}

void Settings::writeSetting(const std::string& section, const std::string& key,
                            const std::string& value) {
    checkNames(file_, section, key);
    if (value.find_first_of("\r\n") != std::string::npos)
        throw tables::EngineError("Settings value of " + section + "/" + key +
                                  " spans several lines (" + file_.string() + ")");
    IniLines ini = IniLines::load(file_);
    if (!ini.set(trim(section), trim(key), value)) return;
    store(ini.bytes());
}

void Settings::deleteSetting(const std::string& section, const std::string& key) {
    IniLines ini = IniLines::load(file_);
    if (!ini.erase(trim(section), trim(key))) return;
    store(ini.bytes());
}

std::string Settings::nextIndex(const std::string& counter) {
    return std::to_string(nextNumber(counter));
}

std::string Settings::peekIndex(const std::string& counter) const {
    const std::string value = readSetting(kIndexSection, counter);
    return value.empty() ? "1" : value;
}

long long Settings::nextNumber(const std::string& counter) {
    // A counter that holds no whole number is an error: a restart at 1 would give out a
    // number already used.
    const long long current = peekNumber(counter);
    writeSetting(kIndexSection, counter, std::to_string(current + 1));
    return current;
}

long long Settings::peekNumber(const std::string& counter) const {
    const std::string text = peekIndex(counter);
    const std::optional<long long> n = parseWhole(text);
    if (!n)
        throw tables::EngineError("Counter " + counter + " of " + file_.string() +
                                  " is not a whole number: '" + text + "'");
    return *n;
}

void Settings::setIndex(const std::string& counter, const std::string& value) {
    writeSetting(kIndexSection, counter, value);
}

int Settings::readVatRate() const {
    const std::optional<long long> rate = parseWhole(readSetting(kVatSection, kVatKey));
    if (!rate || *rate < 0 || *rate > 100) return kDefaultVatRate;
    return static_cast<int>(*rate);
}

void Settings::writeVatRate(int rate) {
    if (rate < 0 || rate > 100)
        throw tables::EngineError("VAT rate " + std::to_string(rate) + " is outside 0..100 (" +
                                  file_.string() + ")");
    writeSetting(kVatSection, kVatKey, std::to_string(rate));
}

}  // namespace tvx::core

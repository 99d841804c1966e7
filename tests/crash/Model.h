// What the crash test expects to find: the documents whose commit the writing child
// reported, and the settings counters they left. The child tells the parent, one line per
// event through a pipe, what each transaction is about to do ("B"), that commit() returned
// ("C") or that it rolled back ("R"); the parent folds committed transactions into the
// model and keeps the last unfinished one, whose fate only the data directory can tell.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Schema.h"
#include "tables/Decimal.h"

namespace tvx::crash {

struct Line {
    int idcap = 0;
    tables::Decimal cant;  // 2 decimals
    tables::Decimal pret;  // 2 decimals
    // Line value as the table stores it: quantity times price, rounded to cents.
    tables::Decimal value() const { return (cant * pret).rounded(2); }
    friend bool operator==(const Line&, const Line&) = default;
};

struct Document {
    long long id = 0;
    long long fisa0 = 0;  // movement numbers fisa0, fisa0 + 1, ... one per line
    std::string date;     // dd.MM.yyyy
    std::vector<Line> lines;
    std::string nrdoc() const { return "F" + std::to_string(id); }
    tables::Decimal total() const;
    friend bool operator==(const Document&, const Document&) = default;
};

// One transaction of the child as announced before it began.
struct Intent {
    enum Kind : char { Post = 'D', Remove = 'X', Maintenance = 'M' };
    long long seq = 0;
    Kind kind = Maintenance;
    Document doc;      // Post: the document; Remove: the document removed
    std::string note;  // Maintenance: what it does (for messages)
};

// One line, no newline; short enough for a single atomic pipe write.
std::string encodeIntent(const Intent& intent);
// Throws std::runtime_error on a malformed line.
Intent decodeIntent(const std::string& text);

struct Model {
    Settings settings;
    std::map<long long, Document> docs;                 // live documents by number
    long long posted = 0, removed = 0, maintained = 0;  // transactions folded in
    // Folds in a transaction that took effect.
    void apply(const Intent& intent);
};

// The child's event stream as the parent reads it.
class EventLog {
  public:
    explicit EventLog(Model& model) : model_(model) {}
    // Takes bytes from the pipe; complete lines are acted on at once. An announced
    // transaction is also checked against the model: a new document takes the next
    // numbers of the committed settings, a removal names a committed document as it is.
    void feed(const char* data, size_t size);
    // The child is gone: an incomplete last line never counted.
    void finish() { pending_.clear(); }

    const std::optional<Intent>& inflight() const { return inflight_; }
    void clearInflight() { inflight_.reset(); }
    const std::string& childError() const { return childError_; }
    long long committed() const { return committed_; }
    long long rolledBack() const { return rolledBack_; }

  private:
    void line(const std::string& text);
    void checkAnnounced(const Intent& intent);
    Model& model_;
    std::string pending_;
    std::optional<Intent> inflight_;
    std::string childError_;
    long long committed_ = 0;
    long long rolledBack_ = 0;
};

}  // namespace tvx::crash

// Event lines of the child and the model of committed documents.
//
// Lines: "B <intent>", "C <seq>", "R <seq>", "E <message>". An intent is
// "<seq> D <id> <fisa0> <date> <idcap>:<cant>:<pret> ..." for a posted document,
// "<seq> X <id> <fisa0> <date> <idcap>:<cant>:<pret> ..." for a removal (the document as it
// was), "<seq> M <note>" for a table maintenance that changes no document.
#include "Model.h"

#include <sstream>
#include <stdexcept>

namespace tvx::crash {

using tables::Decimal;

Decimal Document::total() const {
    Decimal sum = Decimal::fromUnits(0, 2);
    for (const Line& l : lines) sum += l.value();
    return sum;
}

std::string encodeIntent(const Intent& intent) {
    std::string out = std::to_string(intent.seq) + " " + static_cast<char>(intent.kind);
    if (intent.kind == Intent::Maintenance) return out + " " + intent.note;
    const Document& d = intent.doc;
    out += " " + std::to_string(d.id) + " " + std::to_string(d.fisa0) + " " +
           (d.date.empty() ? "-" : d.date);
    for (const Line& l : d.lines)
        out += " " + std::to_string(l.idcap) + ":" + l.cant.toString() + ":" + l.pret.toString();
    return out;
}

Intent decodeIntent(const std::string& text) {
    auto bad = [&]() -> std::runtime_error {
        return std::runtime_error("Malformed event from the child: '" + text + "'");
    };
    std::istringstream in(text);
    Intent intent;
    char kind = 0;
    if (!(in >> intent.seq >> kind)) throw bad();
    if (kind == 'M') {
        intent.kind = Intent::Maintenance;
        std::getline(in >> std::ws, intent.note);
        return intent;
    }
    if (kind != 'D' && kind != 'X') throw bad();
    intent.kind = static_cast<Intent::Kind>(kind);
    Document& d = intent.doc;
    if (!(in >> d.id >> d.fisa0 >> d.date)) throw bad();
    if (d.date == "-") d.date.clear();
    std::string item;
    while (in >> item) {
        size_t a = item.find(':'), b = item.rfind(':');
        if (a == std::string::npos || a == b) throw bad();
        Line l;
        l.idcap = std::stoi(item.substr(0, a));
        auto cant = Decimal::parse(item.substr(a + 1, b - a - 1));
        auto pret = Decimal::parse(item.substr(b + 1));
        if (!cant || !pret) throw bad();
        l.cant = *cant;
        l.pret = *pret;
        d.lines.push_back(l);
    }
    // A removal lists the document as the child reads it, which may be wrong: that is
    // for checkAnnounced to say.
    if (d.lines.empty() && intent.kind == Intent::Post) throw bad();
    return intent;
}

void Model::apply(const Intent& intent) {
    switch (intent.kind) {
        case Intent::Post:
            docs[intent.doc.id] = intent.doc;
            settings.idFacto = intent.doc.id + 1;
            settings.idFisa = intent.doc.fisa0 + static_cast<long long>(intent.doc.lines.size());
            ++posted;
            break;
        case Intent::Remove:
            docs.erase(intent.doc.id);
            settings.lastDel = intent.doc.id;
            ++removed;
            break;
        case Intent::Maintenance:
            ++maintained;
            break;
    }
}

void EventLog::feed(const char* data, size_t size) {
    pending_.append(data, size);
    size_t start = 0, nl;
    while ((nl = pending_.find('\n', start)) != std::string::npos) {
        line(pending_.substr(start, nl - start));
        start = nl + 1;
    }
    pending_.erase(0, start);
}

void EventLog::checkAnnounced(const Intent& intent) {
    const Document& d = intent.doc;
    if (intent.kind == Intent::Post &&
        (d.id != model_.settings.idFacto || d.fisa0 != model_.settings.idFisa)) {
        childError_ = "The child numbers document " + std::to_string(d.id) + " (movements from " +
                      std::to_string(d.fisa0) + ") but the committed settings are " +
                      describe(model_.settings);
    }
    if (intent.kind == Intent::Remove) {
        auto it = model_.docs.find(d.id);
        if (it == model_.docs.end())
            childError_ =
                "The child removes document " + std::to_string(d.id) + ", which is not committed";
        else if (!(it->second == d))
            childError_ = "The child reads document " + std::to_string(d.id) + " as '" +
                          encodeIntent(intent) + "', committed was '" +
                          encodeIntent(Intent{0, Intent::Remove, it->second, {}}) + "'";
    }
}

void EventLog::line(const std::string& text) {
    if (text.size() < 2 || text[1] != ' ') {
        childError_ = "Malformed event from the child: '" + text + "'";
        return;
    }
    std::string rest = text.substr(2);
    switch (text[0]) {
        case 'B':
            if (inflight_) {
                childError_ = "Transaction " + std::to_string(inflight_->seq) +
                              " was never reported finished before " + rest;
                return;
            }
            inflight_ = decodeIntent(rest);
            checkAnnounced(*inflight_);
            return;
        case 'C':
        case 'R': {
            long long seq = std::stoll(rest);
            if (!inflight_ || inflight_->seq != seq) {
                childError_ = "Finish of transaction " + rest + " that was not announced";
                return;
            }
            if (text[0] == 'C') {
                model_.apply(*inflight_);
                ++committed_;
            } else {
                ++rolledBack_;
            }
            inflight_.reset();
            return;
        }
        case 'E':
            childError_ = rest;
            return;
        default:
            childError_ = "Unknown event from the child: '" + text + "'";
    }
}

}  // namespace tvx::crash

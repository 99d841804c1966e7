// Laying a report out on pages, and the text dump of the result (printing/ layer).
#include "printing/ReportPaginator.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "printing/ReportFormat.h"
#include "printing/TextLayout.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::printing {

using tables::Decimal;
using tables::EngineError;
using tables::ResultSet;
using tables::Value;

namespace {

constexpr double kEpsilon = 1e-6;

std::string upper(const std::string& s) {
    return tables::toUpperAscii(s);
}

bool isTextKind(ElementKind k) {
    return k != ElementKind::Picture && k != ElementKind::Line && k != ElementKind::Box;
}

class Paginator {
  public:
    Paginator(const ReportLayout& layout, const ResultSet* rows, const ReportInputs& inputs)
        : layout_(layout), rows_(rows), inputs_(inputs) {
        out_.page = layout.page;
        for (const Band& b : layout.bands)
            if (b.kind == BandKind::GroupHeader) groups_.push_back(&b);
        groupSums_.resize(groups_.size());
        groupRows_.resize(groups_.size());
        groupKeys_.resize(groups_.size());
        const Band* footer = visibleBand(BandKind::PageFooter);
        bodyBottom_ =
            layout.page.height() - layout.page.marginBottom - (footer ? footer->height : 0);
        check();
    }

    LaidOutReport run() {
        const size_t count = rows_ ? rows_->rowCount() : 0;
        startPage();
        for (size_t r = 0; r < count; ++r) {
            size_t changed = groups_.size();
            for (size_t level = 0; level < groups_.size(); ++level) {
                const Value key = fieldValue(groups_[level]->groupField, r);
                if (r == 0 || !tables::sameKey(key, groupKeys_[level])) {
                    changed = level;
                    break;
                }
            }
            if (r > 0 && changed < groups_.size()) {
                row_ = r - 1;
                for (size_t level = groups_.size(); level-- > changed;) placeFooter(level);
            }
            row_ = r;
            for (size_t level = changed; level < groups_.size(); ++level) {
                groupKeys_[level] = fieldValue(groups_[level]->groupField, r);
                groupSums_[level].clear();
                groupRows_[level] = 0;
                placeBand(*groups_[level], static_cast<int>(level));
            }
            accumulate(r);
            for (const Band& b : layout_.bands)
                if (b.kind == BandKind::Detail) placeBand(b, static_cast<int>(groups_.size()) - 1);
        }
        if (count > 0) {
            row_ = count - 1;
            for (size_t level = groups_.size(); level-- > 0;) placeFooter(level);
        }
        inDetail_ = false;
        for (const Band& b : layout_.bands)
            if (b.kind == BandKind::Summary) placeBand(b, -1);
        finishPage();
        const std::string total = std::to_string(out_.pages.size());
        for (LaidOutPage& page : out_.pages)
            for (PlacedItem& item : page.items) {
                for (size_t at; (at = item.text.find("{pages}")) != std::string::npos;)
                    item.text.replace(at, 7, total);
            }
        return std::move(out_);
    }

  private:
    [[noreturn]] void fail(const Band& b, const Element* e, const std::string& message) const {
        std::string where =
            "report " + layout_.name + ", band " + std::string(bandKindName(b.kind));
        if (!b.name.empty()) where += " (" + b.name + ")";
        if (e) {
            const size_t index = static_cast<size_t>(e - b.elements.data()) + 1;
            where += ", element " + std::to_string(index);
            if (!e->name.empty()) where += " (" + e->name + ")";
        }
        throw EngineError(where + ": " + message);
    }

    // Every field the layout names must be in the data, except those of elements hidden by
    // name (a report may leave out a column its data does not have).
    void check() const {
        if (!rows_) return;
        const auto need = [&](const Band& b, const Element* e, const std::string& field) {
            if (rows_->findField(field) < 0) fail(b, e, "no field \"" + field + "\" in the data");
        };
        for (const Band& b : layout_.bands) {
            if (!b.groupField.empty()) need(b, nullptr, b.groupField);
            for (const Element& e : b.elements) {
                if (!e.name.empty() && inputs_.hidden.contains(e.name)) continue;
                if (e.kind == ElementKind::Field || e.kind == ElementKind::Sum)
                    need(b, &e, e.field);
                if (e.kind != ElementKind::Computed) continue;
                for (const Operand* o : {&e.expression.left, &e.expression.right})
                    if (o->kind == Operand::Kind::Field &&
                        (o == &e.expression.left || e.expression.op))
                        need(b, &e, o->name);
            }
        }
    }

    const Band* visibleBand(BandKind kind) const {
        for (const Band& b : layout_.bands)
            if (b.kind == kind && shown(b.visible, b.name)) return &b;
        return nullptr;
    }

    bool shown(bool visible, const std::string& name) const {
        return visible && (name.empty() || !inputs_.hidden.contains(name));
    }

    Value fieldValue(const std::string& field, size_t row) const {
        if (!rows_ || row >= rows_->rowCount()) return Value();
        return rows_->at(row, rows_->fieldIndex(field));
    }

    void accumulate(size_t r) {
        ++rowNumber_;
        for (long long& n : groupRows_) ++n;
        std::set<std::string> added;  // two sums of one field add it once
        for (const Band& b : layout_.bands)
            for (const Element& e : b.elements) {
                if (e.kind != ElementKind::Sum || !shown(true, e.name) ||
                    !added.insert(upper(e.field)).second)
                    continue;
                const Value v = fieldValue(e.field, r);
                Decimal n;
                if (v.isNumber()) {
                    n = v.number();
                } else if (v.isText() && !v.text().empty()) {
                    const auto parsed = Decimal::parse(v.text());
                    if (!parsed)
                        fail(b, &e,
                             "row " + std::to_string(r + 1) + ": \"" + v.text() + "\" of field " +
                                 e.field + " is not a number");
                    n = *parsed;
                } else if (!v.isNull() && !v.isText()) {
                    fail(b, &e, "field " + e.field + " is not a number");
                }
                reportSums_[upper(e.field)] += n;
                for (auto& sums : groupSums_) sums[upper(e.field)] += n;
            }
    }

    void placeFooter(size_t level) {
        const std::string& key = groups_[level]->groupField;
        for (const Band& b : layout_.bands)
            if (b.kind == BandKind::GroupFooter && tables::equalsIgnoreCase(b.groupField, key))
                placeBand(b, static_cast<int>(level));
    }

    // Labels: {NAME} from the parameters, {page} now, {pages} once the count is known.
    std::string substitute(const std::string& text) const {
        std::string out;
        for (size_t i = 0; i < text.size();) {
            const size_t close = text[i] == '{' ? text.find('}', i) : std::string::npos;
            if (close == std::string::npos) {
                out += text[i++];
                continue;
            }
            const std::string name = text.substr(i + 1, close - i - 1);
            if (name == "page") {
                out += std::to_string(out_.pages.size());
            } else if (name == "pages") {
                out += "{pages}";
            } else if (const auto it = inputs_.parameters.find(name);
                       it != inputs_.parameters.end()) {
                out += it->second;
            }
            i = close + 1;
        }
        return out;
    }

    std::string elementText(const Band& b, const Element& e, int level) const {
        try {
            switch (e.kind) {
                case ElementKind::Label:
                    return substitute(e.text);
                case ElementKind::Field:
                    return formatValue(fieldValue(e.field, row_), e.format);
                case ElementKind::Computed:
                    return formatValue(evaluate(e.expression, rows_, row_, inputs_.parameters),
                                       e.format);
                case ElementKind::RowNumber:
                    if (e.scope == Scope::Group && level >= 0)
                        return std::to_string(groupRows_[level]);
                    return std::to_string(rowNumber_);
                case ElementKind::Sum: {
                    const auto& sums =
                        e.scope == Scope::Group && level >= 0 ? groupSums_[level] : reportSums_;
                    const auto it = sums.find(upper(e.field));
                    return formatValue(it == sums.end() ? Decimal() : it->second, e.format);
                }
                case ElementKind::Picture:
                    return e.picture;
                case ElementKind::Line:
                case ElementKind::Box:
                    return {};
            }
        } catch (const EngineError& error) {
            fail(b, &e, error.what());
        }
        return {};
    }

    // The band's items at `top`, and its height after growing. A growing element that needs
    // more height moves the elements that start at or below its bottom down by as much, on top
    // of its own move (growths one under the other add up), and the band grows by the largest
    // such move; stretching elements grow with the band.
    double build(const Band& b, int level, double top, std::vector<PlacedItem>* items) const {
        struct Built {
            const Element* element;
            PlacedItem item;
        };
        std::vector<Built> built;
        for (const Element& e : b.elements) {
            if (!shown(e.visible, e.name)) continue;
            if (e.kind == ElementKind::Picture && !inputs_.pictures.contains(e.picture)) continue;
            PlacedItem item{b.kind, e.kind, layout_.page.marginLeft + e.x, top + e.y,
                            e.w,    e.h,    elementText(b, e, level),      e.fontSize,
                            e.bold, e.align};
            if (e.grows && isTextKind(e.kind)) {
                std::string joined;
                const auto lines = wrapText(item.text, e.w, e.fontSize, e.bold);
                for (const std::string& line : lines) joined += (joined.empty() ? "" : "\n") + line;
                item.text = joined;
                item.h = std::max(e.h, lines.size() * lineHeightMm(e.fontSize, e.bold));
            }
            built.push_back({&e, std::move(item)});
        }
        // Top to bottom, so that an element's move is known before those below it take it on.
        std::vector<size_t> order(built.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return built[a].element->y < built[b].element->y;
        });
        std::vector<double> shift(built.size(), 0);
        double growth = 0;
        for (size_t at = 0; at < order.size(); ++at) {
            const size_t x = order[at];
            for (size_t before = 0; before < at; ++before) {
                const Built& g = built[order[before]];
                if (g.element->grows &&
                    built[x].element->y >= g.element->y + g.element->h - kEpsilon)
                    shift[x] = std::max(shift[x], shift[order[before]] + g.item.h - g.element->h);
            }
            if (built[x].element->grows)
                growth = std::max(growth, shift[x] + built[x].item.h - built[x].element->h);
        }
        for (size_t i = 0; i < built.size(); ++i) {
            built[i].item.y += shift[i];
            if (built[i].element->stretch) built[i].item.h += growth;
        }
        if (items) {
            items->clear();
            for (Built& x : built) items->push_back(std::move(x.item));
        }
        return b.height + growth;
    }

    void placeBand(const Band& b, int level) {
        if (!shown(b.visible, b.name)) return;
        std::vector<PlacedItem> items;
        double height = build(b, level, y_, &items);
        if (y_ + height > bodyBottom_ + kEpsilon && y_ > bodyTop_ + kEpsilon) {
            finishPage();
            startPage();
            height = build(b, level, y_, &items);
        }
        auto& page = out_.pages.back().items;
        page.insert(page.end(), items.begin(), items.end());
        y_ += height;
    }

    void startPage() {
        out_.pages.emplace_back();
        y_ = layout_.page.marginTop;
        bodyTop_ = y_;  // lets a header taller than the page be placed at all
        for (BandKind kind : {BandKind::PageHeader, BandKind::Title, BandKind::ColumnHeader}) {
            if (kind == BandKind::Title && out_.pages.size() > 1) continue;
            if (kind == BandKind::ColumnHeader && !inDetail_) continue;
            for (const Band& b : layout_.bands)
                if (b.kind == kind) placeBand(b, -1);
            bodyTop_ = y_;
        }
    }

    // The page footer sits at the bottom of the page whatever is above it.
    void finishPage() {
        if (const Band* footer = visibleBand(BandKind::PageFooter)) {
            std::vector<PlacedItem> items;
            build(*footer, -1, bodyBottom_, &items);
            auto& page = out_.pages.back().items;
            page.insert(page.end(), items.begin(), items.end());
        }
    }

    const ReportLayout& layout_;
    const ResultSet* rows_;
    const ReportInputs& inputs_;
    LaidOutReport out_;
    std::vector<const Band*> groups_;  // group headers, outermost first
    std::vector<Value> groupKeys_;
    std::vector<std::map<std::string, Decimal>> groupSums_;
    std::vector<long long> groupRows_;
    std::map<std::string, Decimal> reportSums_;
    long long rowNumber_ = 0;
    size_t row_ = 0;
    bool inDetail_ = true;
    double y_ = 0, bodyTop_ = 0, bodyBottom_ = 0;
};

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

LaidOutReport paginate(const ReportLayout& layout, const ResultSet* rows,
                       const ReportInputs& inputs) {
    LaidOutReport report = Paginator(layout, rows, inputs).run();
    for (const auto& [name, image] : inputs.pictures) report.pictures[name] = image;
    return report;
}

std::string dumpReport(const LaidOutReport& report) {
    std::string out;
    char buffer[160];
    for (size_t p = 0; p < report.pages.size(); ++p)
        for (const PlacedItem& item : report.pages[p].items) {
            std::snprintf(buffer, sizeof buffer, "%zu %s %.2f %.2f %.2f %.2f %s ", p + 1,
                          std::string(bandKindName(item.band)).c_str(), item.x, item.y, item.w,
                          item.h, std::string(elementKindName(item.kind)).c_str());
            out += buffer + quoted(item.text) + "\n";
        }
    return out;
}

}  // namespace tvx::printing

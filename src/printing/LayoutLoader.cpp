// Reading declarative layout files into ReportLayout (printing/ layer).
#include "printing/LayoutLoader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <initializer_list>

#include "printing/ReportFormat.h"
#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::printing {

using tables::EngineError;

namespace {

// Where a fault is, for messages: "layout x.json, band 2 (detail), element 3 (LTotal)".
class Place {
  public:
    explicit Place(std::string text) : text_(std::move(text)) {}
    Place inside(const std::string& more) const { return Place(text_ + ", " + more); }
    [[noreturn]] void fail(const std::string& message) const {
        throw EngineError(text_ + ": " + message);
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

void checkKeys(const QJsonObject& o, std::initializer_list<const char*> allowed,
               const Place& place) {
    for (auto it = o.begin(); it != o.end(); ++it) {
        bool known = false;
        for (const char* key : allowed) known = known || it.key() == QLatin1String(key);
        if (!known) place.fail("unknown property \"" + it.key().toStdString() + "\"");
    }
}

std::string text(const QJsonObject& o, const char* key, const Place& place, bool required) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) {
        if (required) place.fail(std::string("missing property \"") + key + "\"");
        return {};
    }
    if (!v.isString()) place.fail(std::string("property \"") + key + "\" must be a text");
    return v.toString().toStdString();
}

double number(const QJsonObject& o, const char* key, double fallback, const Place& place,
              bool required = false) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) {
        if (required) place.fail(std::string("missing property \"") + key + "\"");
        return fallback;
    }
    if (!v.isDouble() || v.toDouble() < 0)
        place.fail(std::string("property \"") + key + "\" must be a number, 0 or more");
    return v.toDouble();
}

bool flag(const QJsonObject& o, const char* key, bool fallback, const Place& place) {
    const QJsonValue v = o.value(key);
    if (v.isUndefined()) return fallback;
    if (!v.isBool()) place.fail(std::string("property \"") + key + "\" must be true or false");
    return v.toBool();
}

Scope scope(const QJsonObject& o, const Place& place) {
    const std::string s = text(o, "scope", place, false);
    if (s.empty() || s == "report") return Scope::Report;
    if (s == "group") return Scope::Group;
    place.fail("scope must be \"report\" or \"group\", not \"" + s + "\"");
}

Element readElement(const QJsonObject& o, const Place& at) {
    Element e;
    e.name = text(o, "name", at, false);
    const Place place = e.name.empty() ? at : Place(at.text() + " (" + e.name + ")");
    checkKeys(o,
              {"kind", "name", "x", "y", "w", "h", "text", "field", "format", "expression", "scope",
               "picture", "font", "bold", "align", "grows", "stretch", "visible"},
              place);
    const std::string kind = text(o, "kind", place, true);
    const auto k = elementKindFromName(kind);
    if (!k) place.fail("unknown element kind \"" + kind + "\"");
    e.kind = *k;
    e.x = number(o, "x", 0, place, true);
    e.y = number(o, "y", 0, place, true);
    e.w = number(o, "w", 0, place, true);
    e.h = number(o, "h", 0, place, true);
    e.fontSize = number(o, "font", 9, place);
    if (e.fontSize <= 0) place.fail("font size must be above 0");
    e.bold = flag(o, "bold", false, place);
    e.grows = flag(o, "grows", false, place);
    e.stretch = flag(o, "stretch", false, place);
    e.visible = flag(o, "visible", true, place);
    const std::string align = text(o, "align", place, false);
    if (align == "center") {
        e.align = Align::Center;
    } else if (align == "right") {
        e.align = Align::Right;
    } else if (!align.empty() && align != "left") {
        place.fail("align must be \"left\", \"center\" or \"right\", not \"" + align + "\"");
    }
    switch (e.kind) {
        case ElementKind::Label:
            e.text = text(o, "text", place, true);
            break;
        case ElementKind::Field:
            e.field = text(o, "field", place, true);
            break;
        case ElementKind::Sum:
            e.field = text(o, "field", place, true);
            e.scope = scope(o, place);
            break;
        case ElementKind::Computed:
            try {
                e.expression = parseExpression(text(o, "expression", place, true));
            } catch (const EngineError& error) {
                place.fail(error.what());
            }
            break;
        case ElementKind::RowNumber:
            e.scope = scope(o, place);
            break;
        case ElementKind::Picture:
            e.picture = text(o, "picture", place, true);
            break;
        case ElementKind::Line:
        case ElementKind::Box:
            break;
    }
    e.format = text(o, "format", place, false);
    if (!isKnownFormat(e.format)) place.fail("unknown format \"" + e.format + "\"");
    return e;
}

Band readBand(const QJsonObject& o, const Place& at) {
    Band b;
    b.name = text(o, "name", at, false);
    const Place place = b.name.empty() ? at : Place(at.text() + " (" + b.name + ")");
    checkKeys(o, {"kind", "name", "height", "group", "visible", "elements"}, place);
    const std::string kind = text(o, "kind", place, true);
    const auto k = bandKindFromName(kind);
    if (!k) place.fail("unknown band kind \"" + kind + "\"");
    b.kind = *k;
    b.height = number(o, "height", 0, place, true);
    b.visible = flag(o, "visible", true, place);
    const bool grouped = b.kind == BandKind::GroupHeader || b.kind == BandKind::GroupFooter;
    b.groupField = text(o, "group", place, grouped);
    if (!grouped && !b.groupField.empty()) place.fail("only group bands have a group field");
    const QJsonValue elements = o.value("elements");
    if (!elements.isUndefined() && !elements.isArray()) place.fail("elements must be a list");
    int index = 0;
    for (const QJsonValue& v : elements.toArray()) {
        const Place here = place.inside("element " + std::to_string(++index));
        if (!v.isObject()) here.fail("an element must be an object");
        Element e = readElement(v.toObject(), here);
        if (e.y + e.h > b.height + 1e-9 && !e.stretch)
            here.fail("element reaches below the band's height");
        b.elements.push_back(std::move(e));
    }
    return b;
}

}  // namespace

ReportLayout parseLayout(const QByteArray& json, const std::string& source) {
    const Place place("layout " + source);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        place.fail("not valid JSON at offset " + std::to_string(error.offset) + ": " +
                   error.errorString().toStdString());
    if (!doc.isObject()) place.fail("the layout must be a JSON object");
    const QJsonObject root = doc.object();
    checkKeys(root, {"name", "page", "bands"}, place);
    ReportLayout layout;
    layout.name = text(root, "name", place, false);
    const QJsonValue page = root.value("page");
    if (!page.isUndefined()) {
        const Place at = place.inside("page");
        if (!page.isObject()) at.fail("page must be an object");
        const QJsonObject p = page.toObject();
        checkKeys(p, {"orientation", "margins"}, at);
        const std::string orientation = text(p, "orientation", at, false);
        if (orientation == "landscape") {
            layout.page.landscape = true;
        } else if (!orientation.empty() && orientation != "portrait") {
            at.fail("orientation must be \"portrait\" or \"landscape\"");
        }
        const QJsonValue margins = p.value("margins");
        if (!margins.isUndefined()) {
            if (!margins.isObject()) at.fail("margins must be an object");
            const QJsonObject m = margins.toObject();
            checkKeys(m, {"left", "top", "right", "bottom"}, at);
            layout.page.marginLeft = number(m, "left", 10, at);
            layout.page.marginTop = number(m, "top", 10, at);
            layout.page.marginRight = number(m, "right", 10, at);
            layout.page.marginBottom = number(m, "bottom", 10, at);
        }
    }
    const QJsonValue bands = root.value("bands");
    if (!bands.isArray()) place.fail("missing list \"bands\"");
    int index = 0;
    for (const QJsonValue& v : bands.toArray()) {
        const Place here = place.inside("band " + std::to_string(++index));
        if (!v.isObject()) here.fail("a band must be an object");
        layout.bands.push_back(readBand(v.toObject(), here));
    }
    // Group footers close groups opened by a header with the same key.
    for (const Band& b : layout.bands) {
        if (b.kind != BandKind::GroupFooter) continue;
        bool opened = false;
        for (const Band& h : layout.bands)
            opened = opened || (h.kind == BandKind::GroupHeader &&
                                tables::equalsIgnoreCase(h.groupField, b.groupField));
        if (!opened) place.fail("group footer on \"" + b.groupField + "\" has no group header");
    }
    return layout;
}

ReportLayout loadLayoutFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError("layout " + path +
                          ": cannot read the file: " + file.errorString().toStdString());
    return parseLayout(file.readAll(), path);
}

}  // namespace tvx::printing

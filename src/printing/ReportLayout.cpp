// Names of band and element kinds as written in layout files and text dumps (printing/).
#include "printing/ReportLayout.h"

#include <array>
#include <utility>

#include "tables/Value.h"

namespace tvx::printing {

namespace {

constexpr std::array<std::pair<BandKind, std::string_view>, 8> kBandNames{{
    {BandKind::Title, "title"},
    {BandKind::PageHeader, "pageHeader"},
    {BandKind::ColumnHeader, "columnHeader"},
    {BandKind::GroupHeader, "groupHeader"},
    {BandKind::Detail, "detail"},
    {BandKind::GroupFooter, "groupFooter"},
    {BandKind::Summary, "summary"},
    {BandKind::PageFooter, "pageFooter"},
}};

constexpr std::array<std::pair<ElementKind, std::string_view>, 8> kElementNames{{
    {ElementKind::Label, "label"},
    {ElementKind::Field, "field"},
    {ElementKind::Computed, "computed"},
    {ElementKind::RowNumber, "rowNumber"},
    {ElementKind::Sum, "sum"},
    {ElementKind::Picture, "picture"},
    {ElementKind::Line, "line"},
    {ElementKind::Box, "box"},
}};

}  // namespace

const Band* ReportLayout::band(BandKind kind) const {
    for (const Band& b : bands)
        if (b.kind == kind) return &b;
    return nullptr;
}

std::string_view bandKindName(BandKind kind) {
    for (const auto& [k, name] : kBandNames)
        if (k == kind) return name;
    return "?";
}

std::optional<BandKind> bandKindFromName(std::string_view name) {
    for (const auto& [k, n] : kBandNames)
        if (tables::equalsIgnoreCase(n, name)) return k;
    return std::nullopt;
}

std::string_view elementKindName(ElementKind kind) {
    for (const auto& [k, name] : kElementNames)
        if (k == kind) return name;
    return "?";
}

std::optional<ElementKind> elementKindFromName(std::string_view name) {
    for (const auto& [k, n] : kElementNames)
        if (tables::equalsIgnoreCase(n, name)) return k;
    return std::nullopt;
}

}  // namespace tvx::printing

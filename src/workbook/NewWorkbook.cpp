// New workbooks and their styles (workbook layer): the globals a spreadsheet program needs
// (default fonts, the sixteen style formats and the default cell format, the Normal style)
// and one empty sheet; fonts, number formats and cell formats are added by the caller.
#include "workbook/Bytes.h"
#include "workbook/Workbook.h"

namespace tvx::workbook {

using namespace bytes;

namespace {

constexpr uint16_t kCodePage = 0x0042, kWindow1 = 0x003D, kDate1904 = 0x0022, kWindow2 = 0x023E,
                   kSetup = 0x00A1, kWsBool = 0x0081;
constexpr int kFirstCustomFormat = 164;

std::string Words(std::initializer_list<uint16_t> words) {
    std::string d;
    for (uint16_t w : words) PutU16(d, w);
    return d;
}

std::string FontRecord(const Workbook::Font& font) {
    std::string d =
        Words({static_cast<uint16_t>(font.height), static_cast<uint16_t>(font.italic ? 0x0002 : 0),
               0x7FFF, static_cast<uint16_t>(font.bold ? 700 : 400), 0});
    PutU8(d, 0);  // underline
    PutU8(d, 0);  // family
    PutU8(d, 0);  // character set
    PutU8(d, 0);
    return d + UnicodeString(font.name, true);
}

std::string XfRecord(uint16_t font, uint16_t format, bool style, const Workbook::Style& s) {
    std::string d = Words({font, format, static_cast<uint16_t>(style ? 0xFFF5 : 0x0001)});
    PutU8(d, static_cast<uint8_t>(s.horizontal | (s.wrap ? 0x08 : 0) | (s.vertical << 4)));
    PutU8(d, 0);
    PutU8(d, 0);
    PutU8(d, style ? 0x00 : 0xFC);
    const uint32_t black = 8;
    auto color = [&](int line) { return line ? black : 0u; };
    PutU32(d, static_cast<uint32_t>(s.borderLeft | (s.borderRight << 4) | (s.borderTop << 8) |
                                    (s.borderBottom << 12)) |
                  (color(s.borderLeft) << 16) | (color(s.borderRight) << 23));
    PutU32(d, color(s.borderTop) | (color(s.borderBottom) << 7));
    PutU16(d, 0x20C0);
    return d;
}

// Index of the record after the last one of `id` (or after the last of `fallback`).
size_t After(const std::vector<Record>& records, uint16_t id, uint16_t fallback) {
    size_t at = 0, otherwise = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].id == id) at = i + 1;
        if (records[i].id == fallback) otherwise = i + 1;
    }
    return at ? at : otherwise;
}

}  // namespace

Workbook Workbook::Create(const std::string& sheetName) {
    Workbook book;
    auto& g = book.globals_;
    g.push_back({rec::kBof, Words({0x0600, 0x0005, 0x0DBB, 0x07CC, 0, 0, 0x0006, 0})});
    g.push_back({kCodePage, Words({1200})});
    g.push_back({kWindow1, Words({0, 0, 0x4000, 0x2000, 0x0038, 0, 0, 1, 0x0258})});
    g.push_back({kDate1904, Words({0})});
    for (int i = 0; i < 4; ++i) g.push_back({rec::kFont, FontRecord(Font{})});
    for (int i = 0; i < 15; ++i) g.push_back({rec::kXf, XfRecord(0, 0, true, Style{})});
    g.push_back({rec::kXf, XfRecord(0, 0, false, Style{})});
    std::string normal = Words({0x8000});
    PutU8(normal, 0);
    PutU8(normal, 0xFF);
    g.push_back({rec::kStyle, normal});
    g.push_back({rec::kBoundSheet, {}});
    g.push_back({rec::kSst, {}});
    g.push_back({rec::kEof, {}});

    auto sheet = std::make_unique<Sheet>();
    sheet->name = sheetName;
    sheet->head_.push_back({rec::kBof, Words({0x0600, 0x0010, 0x0DBB, 0x07CC, 0, 0, 0x0006, 0})});
    // A4 landscape, one page wide when printed.
    sheet->head_.push_back({kWsBool, Words({0x05C1})});  // fit to page
    std::string setup = Words({9, 100, 1, 1, 0, 0x0000, 600, 600});
    PutF64(setup, 0.3);
    PutF64(setup, 0.3);
    PutU16(setup, 1);
    sheet->head_.push_back({kSetup, setup});
    sheet->tail_.push_back({kWindow2, Words({0x06B6, 0, 0, 64, 0, 0, 0, 0, 0})});
    sheet->tail_.push_back({rec::kMerged, {}});
    book.sheets_.push_back(std::move(sheet));
    return book;
}

void Workbook::setPrintArea(int index, const Range& area) {
    constexpr uint16_t kSupBook = 0x01AE, kExternSheet = 0x0017;
    auto at = [&](uint16_t id) {
        for (size_t i = 0; i < globals_.size(); ++i)
            if (globals_[i].id == id) return globals_.begin() + static_cast<long>(i);
        return globals_.end();
    };
    if (at(kExternSheet) == globals_.end()) {  // one reference per sheet, in sheet order
        std::string refs = Words({static_cast<uint16_t>(sheets_.size())});
        for (size_t i = 0; i < sheets_.size(); ++i)
            refs += Words({0, static_cast<uint16_t>(i), static_cast<uint16_t>(i)});
        const auto sst = at(rec::kSst);
        const long place = sst - globals_.begin();
        globals_.insert(globals_.begin() + place,
                        {{kSupBook, Words({static_cast<uint16_t>(sheets_.size()), 0x0401})},
                         {kExternSheet, refs}});
    }
    std::string d = Words({0x0020});  // built-in name
    PutU8(d, 0);
    PutU8(d, 1);  // one character: the name's code
    d += Words({11, 0, static_cast<uint16_t>(index + 1)});
    d += std::string(4, '\0');
    PutU8(d, 0);
    PutU8(d, 0x06);  // Print_Area
    PutU8(d, 0x3B);  // ptgArea3d
    d += Words({static_cast<uint16_t>(index), static_cast<uint16_t>(area.firstRow),
                static_cast<uint16_t>(area.lastRow), static_cast<uint16_t>(area.firstCol),
                static_cast<uint16_t>(area.lastCol)});
    globals_.insert(at(rec::kSst), {rec::kName, d});
}

void Workbook::setPageTexts(int index, const std::string& header, const std::string& footer) {
    auto& head = sheets_.at(index)->head_;
    std::erase_if(head,
                  [](const Record& r) { return r.id == rec::kHeader || r.id == rec::kFooter; });
    size_t setup = head.size();
    for (size_t i = 0; i < head.size(); ++i)
        if (head[i].id == kSetup) setup = i;
    std::vector<Record> texts;
    for (const auto& [id, text] : {std::pair{rec::kHeader, &header}, {rec::kFooter, &footer}}) {
        if (Utf8ToUtf16(*text).size() > 255)
            throw WorkbookError("Textul paginii are peste 255 de caractere: " + *text);
        texts.push_back({id, text->empty() ? std::string() : UnicodeString(*text)});
    }
    head.insert(head.begin() + static_cast<long>(setup), texts.begin(), texts.end());
}

std::optional<Range> Workbook::printArea(int index) const {
    for (const Record& r : globals_) {
        if (r.id != rec::kName || r.data.size() < 27 || U16(r.data, 8) != index + 1) continue;
        if (!(U16(r.data, 0) & 0x0020) || U8(r.data, 15) != 0x06 || U8(r.data, 16) != 0x3B)
            continue;
        return Range{U16(r.data, 19), U16(r.data, 21), U16(r.data, 23) & 0xFF,
                     U16(r.data, 25) & 0xFF};
    }
    return std::nullopt;
}

int Workbook::addFont(const Font& font) {
    int count = 0;
    for (const Record& r : globals_) count += r.id == rec::kFont;
    globals_.insert(globals_.begin() + static_cast<long>(After(globals_, rec::kFont, rec::kBof)),
                    {rec::kFont, FontRecord(font)});
    return count >= 4 ? count + 1 : count;  // index 4 is never used
}

int Workbook::addFormat(const std::string& code) {
    int index = kFirstCustomFormat;
    for (const Record& r : globals_)
        if (r.id == rec::kFormat) index = std::max<int>(index, U16(r.data, 0) + 1);
    std::string d = Words({static_cast<uint16_t>(index)}) + UnicodeString(code);
    globals_.insert(globals_.begin() + static_cast<long>(After(globals_, rec::kFormat, rec::kFont)),
                    {rec::kFormat, d});
    return index;
}

int Workbook::addStyle(const Style& style) {
    int count = 0;
    for (const Record& r : globals_) count += r.id == rec::kXf;
    globals_.insert(globals_.begin() + static_cast<long>(After(globals_, rec::kXf, rec::kFormat)),
                    {rec::kXf, XfRecord(static_cast<uint16_t>(style.font),
                                        static_cast<uint16_t>(style.format), false, style)});
    return count;
}

}  // namespace tvx::workbook

// Reading a BIFF8 workbook out of its OLE2 container (workbook layer): the globals with
// their shared strings, each worksheet's cells (shared formulas resolved, array formulas
// kept as their values), its ROW records and merged ranges; all other records kept as read.
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-utils.h>

#include <cmath>
#include <set>

#include "workbook/Bytes.h"
#include "workbook/Workbook.h"

namespace tvx::workbook {

using namespace bytes;

namespace {

std::string ReadInput(GsfInput* input) {
    constexpr gsf_off_t kLargest = 256 << 20;  // far beyond any template
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || size > kLargest) throw WorkbookError("Registrul este deteriorat.");
    std::string out(static_cast<size_t>(size), '\0');
    if (!out.empty() && !gsf_input_read(input, out.size(), reinterpret_cast<guint8*>(out.data())))
        throw WorkbookError("Fisierul nu poate fi citit.");
    return out;
}

// The SST's strings, read across its CONTINUE records: a string's characters may break at a
// record boundary, where the next record starts with the flags byte of the rest.
class SegmentReader {
  public:
    explicit SegmentReader(std::vector<std::string_view> segments) : seg_(std::move(segments)) {}
    bool atEnd() {
        while (i_ < seg_.size() && at_ >= seg_[i_].size()) ++i_, at_ = 0;
        return i_ >= seg_.size();
    }
    uint8_t byte() {
        if (atEnd()) throw WorkbookError("Tabela de texte a registrului este deteriorata.");
        return U8(seg_[i_], at_++);
    }
    uint16_t u16() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
    uint32_t u32() { return u16() | (static_cast<uint32_t>(u16()) << 16); }
    void skip(size_t n) {
        while (n--) byte();
    }
    std::string chars(size_t count, bool wide) {
        std::string raw;
        while (count > 0) {
            if (atEnd()) throw WorkbookError("Tabela de texte a registrului este deteriorata.");
            const size_t width = wide ? 2 : 1;
            const size_t fit = std::min(count, (seg_[i_].size() - at_) / width);
            for (size_t k = 0; k < fit; ++k) {
                const uint16_t unit = wide ? U16(seg_[i_], at_ + 2 * k) : U8(seg_[i_], at_ + k);
                raw.push_back(static_cast<char>(unit & 0xFF));
                raw.push_back(static_cast<char>(unit >> 8));
            }
            at_ += fit * width;
            count -= fit;
            if (count > 0) {  // continues in the next record, with its own flags byte
                ++i_, at_ = 0;
                wide = byte() & 0x01;
            }
        }
        return CharsToUtf8(raw, raw.size() / 2, true);
    }

  private:
    std::vector<std::string_view> seg_;
    size_t i_ = 0, at_ = 0;
};

double DecodeRk(uint32_t rk) {
    double v;
    if (rk & 0x02) {
        v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
    } else {
        std::string raw(4, '\0');
        raw += std::string(4, '\0');
        SetU32(raw, 4, rk & 0xFFFFFFFC);
        v = F64(raw, 0);
    }
    return (rk & 0x01) ? v / 100 : v;
}

bool IsCellRecord(uint16_t id) {
    static const std::set<uint16_t> ids = {
        rec::kRow,    rec::kBlank, rec::kNumber, rec::kLabel,    rec::kBoolErr,  rec::kFormula,
        rec::kString, rec::kRk,    rec::kMulRk,  rec::kMulBlank, rec::kLabelSst, rec::kShrFmla,
        rec::kArray,  rec::kTable, rec::kDbCell, rec::kRString};
    return ids.count(id) > 0;
}

}  // namespace

class BiffReader {
  public:
    static Workbook Read(const std::string& stream,
                         std::vector<std::pair<std::string, std::string>> others);

  private:
    static std::vector<Record> Split(const std::string& stream, size_t from, size_t& end,
                                     bool toEof);
    static void ReadSheet(Sheet& sheet, const std::vector<Record>& records,
                          const std::vector<std::string>& sst);
};

std::vector<Record> BiffReader::Split(const std::string& s, size_t at, size_t& end, bool toEof) {
    std::vector<Record> out;
    int depth = 0;
    while (at + 4 <= s.size()) {
        Record r{U16(s, at), {}};
        const size_t len = U16(s, at + 2);
        if (at + 4 + len > s.size())
            throw WorkbookError("Registrul este deteriorat (inregistrare trunchiata).");
        r.data = s.substr(at + 4, len);
        at += 4 + len;
        out.push_back(std::move(r));
        if (out.back().id == rec::kBof) ++depth;
        if (out.back().id == rec::kEof && --depth <= 0 && toEof) break;
    }
    end = at;
    if (toEof && (out.empty() || out.back().id != rec::kEof))
        throw WorkbookError("Registrul este deteriorat (lipseste sfarsitul unei foi).");
    return out;
}

Workbook BiffReader::Read(const std::string& s,
                          std::vector<std::pair<std::string, std::string>> others) {
    if (U16(s, 0) != rec::kBof || U16(s, 4) != 0x0600 || U16(s, 6) != 0x0005)
        throw WorkbookError("Fisierul nu este un registru Excel 97-2003 (BIFF8).");
    Workbook book;
    book.otherStreams_ = std::move(others);
    size_t end = 0;
    std::vector<Record> globals = Split(s, 0, end, true);

    // Shared strings, with their CONTINUE records; the SST slot stays, EXTSST is rebuilt.
    std::vector<std::string> sst;
    struct SheetRef {
        uint32_t offset;
        uint8_t visibility, type;
        std::string name;
    };
    std::vector<SheetRef> sheetRefs;
    for (size_t i = 0; i < globals.size(); ++i) {
        Record& r = globals[i];
        if (r.id == rec::kSst) {
            std::vector<std::string_view> segments{std::string_view(r.data).substr(8)};
            for (size_t k = i + 1; k < globals.size() && globals[k].id == rec::kContinue; ++k)
                segments.push_back(globals[k].data);
            SegmentReader reader(segments);
            const uint32_t unique = U32(r.data, 4);
            for (uint32_t n = 0; n < unique && !reader.atEnd(); ++n) {
                const uint16_t count = reader.u16();
                const uint8_t flags = reader.byte();
                const uint16_t runs = (flags & 0x08) ? reader.u16() : 0;
                const uint32_t ext = (flags & 0x04) ? reader.u32() : 0;
                sst.push_back(reader.chars(count, flags & 0x01));
                reader.skip(runs * 4u + ext);
            }
        } else if (r.id == rec::kBoundSheet) {
            size_t at = 6;
            sheetRefs.push_back({U32(r.data, 0), U8(r.data, 4), U8(r.data, 5),
                                 ReadUnicodeString(r.data, at, true)});
        }
    }
    // The globals keep everything but the strings' continuations, EXTSST and BOUNDSHEETs
    // (written again from the sheets, at the place of the first one).
    bool sheetsPlaced = false;
    for (size_t i = 0; i < globals.size(); ++i) {
        const Record& r = globals[i];
        if (r.id == rec::kExtSst) continue;
        if (r.id == rec::kContinue && i > 0 &&
            (globals[i - 1].id == rec::kSst || globals[i - 1].id == rec::kContinue) &&
            !book.globals_.empty() && book.globals_.back().id == rec::kSst)
            continue;
        if (r.id == rec::kBoundSheet) {
            if (!sheetsPlaced) book.globals_.push_back({rec::kBoundSheet, {}});
            sheetsPlaced = true;
            continue;
        }
        if (r.id == rec::kSst) {
            book.globals_.push_back({rec::kSst, {}});
            continue;
        }
        book.globals_.push_back(r);
    }
    if (sheetRefs.empty()) throw WorkbookError("Registrul nu are nicio foaie.");
    for (const SheetRef& ref : sheetRefs) {
        if (ref.offset >= s.size() || U16(s, ref.offset) != rec::kBof)
            throw WorkbookError("Registrul este deteriorat (foaia " + ref.name + " lipseste).");
        auto sheet = std::make_unique<Sheet>();
        sheet->name = ref.name;
        sheet->visibility_ = ref.visibility;
        sheet->type_ = ref.type;
        std::vector<Record> records = Split(s, ref.offset, end, true);
        if (ref.type == 0 && U16(records.front().data, 2) == 0x0010) {
            ReadSheet(*sheet, records, sst);
        } else {
            sheet->parsed_ = false;
            sheet->head_ = std::move(records);
        }
        book.sheets_.push_back(std::move(sheet));
    }
    return book;
}

void BiffReader::ReadSheet(Sheet& sheet, const std::vector<Record>& records,
                           const std::vector<std::string>& sst) {
    enum { kHead, kCells, kTail } part = kHead;
    struct Pending {
        int row, col, baseRow, baseCol;
    };
    std::vector<Pending> pendingShared;
    std::map<std::pair<int, int>, Tokens> shared;
    std::map<std::pair<int, int>, Range> sharedRanges;
    std::pair<int, int> lastFormula{-1, -1};
    bool mergesPlaced = false, cellsSeen = false;
    size_t dimensionsAt = std::string::npos;
    int depth = 0;
    for (size_t i = 0; i + 1 < records.size(); ++i) {  // the closing EOF is written anew
        const Record& r = records[i];
        const std::string& d = r.data;
        if (depth > 0 || (i > 0 && r.id == rec::kBof)) {  // an embedded chart: kept whole
            if (r.id == rec::kBof) ++depth;
            if (r.id == rec::kEof) --depth;
            (part == kHead ? sheet.head_ : sheet.tail_).push_back(r);
            continue;
        }
        if (IsCellRecord(r.id)) {
            part = kCells;  // cells after a foreign record: still cells
            cellsSeen = true;
        } else if (part == kCells) {
            part = kTail;
        }
        const int row = U16(d, 0), col = U16(d, 2);
        const uint16_t xf = U16(d, 4);
        switch (r.id) {
            case rec::kDimensions:
                if (part == kHead) dimensionsAt = sheet.head_.size();
                continue;
            case rec::kIndex:
            case rec::kDbCell:
                continue;
            case rec::kMerged: {
                for (size_t k = 0, n = U16(d, 0); k < n; ++k)
                    sheet.merges_.push_back({U16(d, 2 + 8 * k), U16(d, 4 + 8 * k),
                                             U16(d, 6 + 8 * k), U16(d, 8 + 8 * k)});
                if (!mergesPlaced) sheet.tail_.push_back({rec::kMerged, {}});
                mergesPlaced = true;
                continue;
            }
            case rec::kRow:
                sheet.rowRecords_[row] = d;
                continue;
            case rec::kNumber:
                sheet.set(row, col, Cell::Num(F64(d, 6), xf));
                continue;
            case rec::kRk:
                sheet.set(row, col, Cell::Num(DecodeRk(U32(d, 6)), xf));
                continue;
            case rec::kMulRk: {
                for (size_t k = 0, n = d.size() >= 6 ? (d.size() - 6) / 6 : 0; k < n; ++k)
                    sheet.set(row, col + static_cast<int>(k),
                              Cell::Num(DecodeRk(U32(d, 6 + 6 * k)), U16(d, 4 + 6 * k)));
                continue;
            }
            case rec::kBlank:
                sheet.set(row, col, Cell::Of(CellKind::Blank, xf));
                continue;
            case rec::kMulBlank: {
                for (size_t k = 0, n = d.size() >= 6 ? (d.size() - 6) / 2 : 0; k < n; ++k)
                    sheet.set(row, col + static_cast<int>(k),
                              Cell::Of(CellKind::Blank, U16(d, 4 + 2 * k)));
                continue;
            }
            case rec::kLabelSst: {
                const uint32_t index = U32(d, 6);
                sheet.set(row, col, Cell::Str(index < sst.size() ? sst[index] : std::string(), xf));
                continue;
            }
            case rec::kLabel:
            case rec::kRString: {
                size_t at = 6;
                sheet.set(row, col, Cell::Str(ReadUnicodeString(d, at), xf));
                continue;
            }
            case rec::kBoolErr:
                sheet.set(row, col,
                          Cell::Of(U8(d, 7) ? CellKind::Error : CellKind::Boolean, xf,
                                   static_cast<double>(U8(d, 6))));
                continue;
            case rec::kFormula: {
                Cell cell = Cell::Of(CellKind::Formula, xf);
                if (U16(d, 12) == 0xFFFF) {
                    const uint8_t kind = U8(d, 6);
                    cell.cached = kind == 0 || kind == 3 ? CellKind::Text
                                  : kind == 1            ? CellKind::Boolean
                                                         : CellKind::Error;
                    cell.number = U8(d, 8);
                } else {
                    cell.number = F64(d, 6);
                }
                const size_t cce = U16(d, 20);
                cell.formula = d.substr(22, cce);
                if (cce == 5 && U8(d, 22) == 0x01)
                    pendingShared.push_back({row, col, U16(d, 23), U16(d, 25)});
                sheet.set(row, col, std::move(cell));
                lastFormula = {row, col};
                continue;
            }
            case rec::kString: {
                size_t at = 0;
                if (lastFormula.first >= 0)
                    sheet.at(lastFormula.first, lastFormula.second).text = ReadUnicodeString(d, at);
                continue;
            }
            case rec::kShrFmla: {
                const Range range{U16(d, 0), U16(d, 2), U8(d, 4), U8(d, 5)};
                shared[{range.firstRow, range.firstCol}] = d.substr(10, U16(d, 8));
                sharedRanges[{range.firstRow, range.firstCol}] = range;
                continue;
            }
            case rec::kArray:
            case rec::kTable:
                continue;  // cells keep their results
            default:
                break;
        }
        (part == kHead ? sheet.head_ : sheet.tail_).push_back(r);
    }
    for (const Pending& p : pendingShared) {
        Cell& cell = sheet.at(p.row, p.col);
        const auto it = shared.find({p.baseRow, p.baseCol});
        if (it != shared.end()) {
            cell.formula = ResolveShared(it->second, p.row, p.col);
            continue;
        }
        // An array or table formula: the cell keeps its value.
        const Cell value = cell;
        cell = value.cached == CellKind::Text ? Cell::Str(value.text, value.xf)
                                              : Cell::Num(value.number, value.xf);
    }
    if (!cellsSeen && dimensionsAt != std::string::npos) {  // an empty sheet: cells go there
        sheet.tail_.insert(sheet.tail_.begin(), sheet.head_.begin() + dimensionsAt,
                           sheet.head_.end());
        sheet.head_.resize(dimensionsAt);
    }
    if (!mergesPlaced) sheet.tail_.push_back({rec::kMerged, {}});
}

Workbook Workbook::Load(const std::filesystem::path& path) {
    GError* error = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.c_str(), &error);
    if (!input) {
        if (error) g_error_free(error);
        throw WorkbookError("Fisierul " + path.string() + " nu poate fi deschis.");
    }
    GsfInfile* ole = gsf_infile_msole_new(input, &error);
    g_object_unref(input);
    if (!ole) {
        if (error) g_error_free(error);
        throw WorkbookError("Fisierul " + path.string() + " nu este un registru Excel (.xls).");
    }
    std::string stream;
    std::vector<std::pair<std::string, std::string>> others;
    for (int i = 0; i < gsf_infile_num_children(ole); ++i) {
        GsfInput* child = gsf_infile_child_by_index(ole, i);
        const std::string name = gsf_infile_name_by_index(ole, i);
        const bool storage =
            GSF_IS_INFILE(child) && gsf_infile_num_children(GSF_INFILE(child)) >= 0;
        if (!storage) {
            try {
                if (name == "Workbook")
                    stream = ReadInput(child);
                else
                    others.emplace_back(name, ReadInput(child));
            } catch (...) {
                g_object_unref(child);
                g_object_unref(ole);
                throw;
            }
        }
        g_object_unref(child);
    }
    g_object_unref(ole);
    if (stream.empty())
        throw WorkbookError("Fisierul " + path.string() +
                            " nu este un registru Excel 97-2003 (lipseste foaia de lucru).");
    try {
        return BiffReader::Read(stream, std::move(others));
    } catch (const WorkbookError& e) {
        throw WorkbookError(path.string() + ": " + e.what());
    } catch (const std::exception&) {  // a record shorter than its kind needs
        throw WorkbookError("Registrul " + path.string() + " este deteriorat.");
    }
}

}  // namespace tvx::workbook

// Writing a workbook as BIFF8 in an OLE2 container (workbook layer): the shared-string
// table built from the cells (split over CONTINUE records, with its EXTSST index), sheet
// offsets patched in the BOUNDSHEET records, each sheet's DIMENSIONS, ROW and cell records
// written anew and every other record as read. Formulas carry the always-recalculate flag.
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <fstream>
#include <unordered_map>

#include "workbook/Bytes.h"
#include "workbook/Workbook.h"

namespace tvx::workbook {

using namespace bytes;

namespace {
constexpr size_t kMaxRecordData = 8224;
}

class BiffWriter {
  public:
    explicit BiffWriter(Workbook& book) : book_(book) {}
    std::string stream();

  private:
    void put(uint16_t id, std::string_view data) {
        PutU16(out_, id);
        PutU16(out_, static_cast<uint16_t>(data.size()));
        out_.append(data);
    }
    uint32_t stringIndex(const std::string& text) {
        ++stringUses_;
        const auto [it, added] =
            stringIds_.try_emplace(text, static_cast<uint32_t>(strings_.size()));
        if (added) strings_.push_back(text);
        return it->second;
    }
    void writeSst();
    void writeSheet(Sheet& sheet);
    void writeCell(int row, int col, const Cell& cell);

    Workbook& book_;
    std::string out_;
    std::vector<std::string> strings_;
    std::unordered_map<std::string, uint32_t> stringIds_;
    uint32_t stringUses_ = 0;
};

void BiffWriter::writeSst() {
    // Records are built in `records`; a string's characters that do not fit go on in a
    // CONTINUE record that begins with the flags byte.
    std::vector<std::string> records(1);
    PutU32(records[0], stringUses_);
    PutU32(records[0], static_cast<uint32_t>(strings_.size()));
    struct Place {
        size_t record, offset;
    };
    std::vector<Place> places;
    for (const std::string& text : strings_) {
        const std::u16string units = Utf8ToUtf16(text);
        bool wide = false;
        for (char16_t u : units) wide = wide || u > 0xFF;
        const size_t width = wide ? 2 : 1;
        if (records.back().size() + 3 + width > kMaxRecordData) records.emplace_back();
        places.push_back({records.size() - 1, records.back().size()});
        PutU16(records.back(), static_cast<uint16_t>(units.size()));
        PutU8(records.back(), wide ? 1 : 0);
        for (size_t i = 0; i < units.size();) {
            if (records.back().size() + width > kMaxRecordData) {
                records.emplace_back();
                PutU8(records.back(), wide ? 1 : 0);
            }
            if (wide)
                PutU16(records.back(), units[i]);
            else
                PutU8(records.back(), static_cast<uint8_t>(units[i]));
            ++i;
        }
    }
    std::vector<size_t> starts;
    for (size_t i = 0; i < records.size(); ++i) {
        starts.push_back(out_.size());
        put(i == 0 ? rec::kSst : rec::kContinue, records[i]);
    }
    const size_t perBucket = std::max<size_t>(8, strings_.size() / 128 + 1);
    std::string ext;
    PutU16(ext, static_cast<uint16_t>(perBucket));
    for (size_t i = 0; i < places.size(); i += perBucket) {
        PutU32(ext, static_cast<uint32_t>(starts[places[i].record] + 4 + places[i].offset));
        PutU16(ext, static_cast<uint16_t>(4 + places[i].offset));
        PutU16(ext, 0);
    }
    put(rec::kExtSst, ext);
}

void BiffWriter::writeCell(int row, int col, const Cell& cell) {
    std::string d;
    PutU16(d, static_cast<uint16_t>(row));
    PutU16(d, static_cast<uint16_t>(col));
    PutU16(d, cell.xf);
    switch (cell.kind) {
        case CellKind::Blank:
            put(rec::kBlank, d);
            return;
        case CellKind::Number:
            PutF64(d, cell.number), put(rec::kNumber, d);
            return;
        case CellKind::Text:
            PutU32(d, stringIndex(cell.text)), put(rec::kLabelSst, d);
            return;
        case CellKind::Boolean:
        case CellKind::Error:
            PutU8(d, static_cast<uint8_t>(cell.number));
            PutU8(d, cell.kind == CellKind::Error ? 1 : 0);
            put(rec::kBoolErr, d);
            return;
        case CellKind::Formula:
            break;
    }
    const bool stringResult = cell.cached == CellKind::Text && !cell.text.empty();
    if (cell.cached == CellKind::Number) {
        PutF64(d, cell.number);
    } else {
        const uint8_t kind = cell.cached == CellKind::Text      ? (stringResult ? 0 : 3)
                             : cell.cached == CellKind::Boolean ? 1
                                                                : 2;
        PutU16(d, kind);
        PutU16(d, static_cast<uint16_t>(cell.number));
        PutU16(d, 0);
        PutU16(d, 0xFFFF);
    }
    PutU16(d, 0x0003);  // recalculate always, and on loading
    PutU32(d, 0);
    PutU16(d, static_cast<uint16_t>(cell.formula.size()));
    d += cell.formula;
    put(rec::kFormula, d);
    if (stringResult) put(rec::kString, UnicodeString(cell.text));
}

void BiffWriter::writeSheet(Sheet& sheet) {
    if (!sheet.parsed_) {
        for (const Record& r : sheet.head_) put(r.id, r.data);
        return;
    }
    for (const Record& r : sheet.head_) put(r.id, r.data);
    const Range used = sheet.usedRange();
    std::string dim;
    PutU32(dim, static_cast<uint32_t>(used.firstRow));
    PutU32(dim, static_cast<uint32_t>(used.lastRow));
    PutU16(dim, static_cast<uint16_t>(used.firstCol));
    PutU16(dim, static_cast<uint16_t>(used.lastCol));
    PutU16(dim, 0);
    put(rec::kDimensions, dim);

    std::map<int, std::string> rowRecords = sheet.rowRecords_;
    for (const auto& [row, cells] : sheet.rows_)
        if (!cells.empty()) rowRecords.try_emplace(row, std::string());
    for (auto& [row, data] : rowRecords) {
        if (data.size() < 16) {
            data.clear();
            PutU16(data, 0), PutU16(data, 0), PutU16(data, 0);
            PutU16(data, 0x00FF), PutU16(data, 0), PutU16(data, 0);
            PutU16(data, 0x0100), PutU16(data, 0x000F);
        }
        SetU16(data, 0, static_cast<uint16_t>(row));
        const auto it = sheet.rows_.find(row);
        const bool any = it != sheet.rows_.end() && !it->second.empty();
        SetU16(data, 2, any ? static_cast<uint16_t>(it->second.begin()->first) : 0);
        SetU16(data, 4, any ? static_cast<uint16_t>(it->second.rbegin()->first + 1) : 0);
        put(rec::kRow, data);
    }
    for (const auto& [row, cells] : sheet.rows_)
        for (const auto& [col, cell] : cells) writeCell(row, col, cell);

    for (const Record& r : sheet.tail_) {
        if (r.id != rec::kMerged) {
            put(r.id, r.data);
            continue;
        }
        for (size_t from = 0; from < sheet.merges_.size(); from += 1026) {
            const size_t n = std::min<size_t>(1026, sheet.merges_.size() - from);
            std::string d;
            PutU16(d, static_cast<uint16_t>(n));
            for (size_t k = from; k < from + n; ++k) {
                const Range& m = sheet.merges_[k];
                PutU16(d, static_cast<uint16_t>(m.firstRow));
                PutU16(d, static_cast<uint16_t>(m.lastRow));
                PutU16(d, static_cast<uint16_t>(m.firstCol));
                PutU16(d, static_cast<uint16_t>(m.lastCol));
            }
            put(rec::kMerged, d);
        }
    }
    put(rec::kEof, {});
}

std::string BiffWriter::stream() {
    // Sheets first, so that the strings they use are known when the globals are written.
    std::vector<std::string> sheetStreams;
    for (auto& sheet : book_.sheets_) {
        out_.clear();
        writeSheet(*sheet);
        sheetStreams.push_back(out_);
    }
    out_.clear();
    std::vector<size_t> offsetFields;
    bool sstWritten = false;
    for (size_t i = 0; i < book_.globals_.size(); ++i) {
        const Record& r = book_.globals_[i];
        if (r.id == rec::kBoundSheet) {
            for (const auto& sheet : book_.sheets_) {
                std::string d;
                PutU32(d, 0);
                PutU8(d, sheet->visibility_);
                PutU8(d, sheet->type_);
                d += UnicodeString(sheet->name, true);
                offsetFields.push_back(out_.size() + 4);
                put(rec::kBoundSheet, d);
            }
        } else if (r.id == rec::kSst) {
            writeSst();
            sstWritten = true;
        } else {
            if (r.id == rec::kEof && i + 1 == book_.globals_.size() && !sstWritten &&
                !strings_.empty())
                writeSst();
            put(r.id, r.data);
        }
    }
    for (size_t i = 0; i < sheetStreams.size() && i < offsetFields.size(); ++i) {
        SetU32(out_, offsetFields[i], static_cast<uint32_t>(out_.size()));
        out_ += sheetStreams[i];
    }
    return out_;
}

std::string Workbook::bytes() {
    for (auto& sheet : sheets_) {
        if (!sheet->rows_.empty() && sheet->rows_.rbegin()->first > 65535)
            throw WorkbookError(
                "Foaia " + sheet->name +
                " ar avea mai mult de 65536 de randuri, cat incape intr-un registru .xls.");
        if (sheet->parsed_) sheet->recalculate();
    }
    std::string stream = BiffWriter(*this).stream();
    // Office programs want the workbook stream in big blocks: at least 4096 bytes (zeros after
    // the last EOF are never read).
    if (stream.size() < 4096) stream.resize(4096, '\0');
    GsfOutput* memory = gsf_output_memory_new();
    GsfOutfile* ole = gsf_outfile_msole_new(memory);
    bool ok = true;
    auto writeStream = [&](const std::string& name, const std::string& data) {
        GsfOutput* child = gsf_outfile_new_child(ole, name.c_str(), FALSE);
        ok = ok && child &&
             gsf_output_write(child, data.size(), reinterpret_cast<const guint8*>(data.data()));
        if (child) {
            ok = gsf_output_close(child) && ok;
            g_object_unref(child);
        }
    };
    writeStream("Workbook", stream);
    for (const auto& [name, data] : otherStreams_) writeStream(name, data);
    ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
    g_object_unref(ole);
    std::string result;
    if (ok) {
        const guint8* data = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(memory));
        result.assign(reinterpret_cast<const char*>(data),
                      static_cast<size_t>(gsf_output_size(memory)));
    }
    g_object_unref(memory);  // closed with the container
    if (!ok) throw WorkbookError("Registrul nu a putut fi alcatuit.");
    return result;
}

void Workbook::save(const std::filesystem::path& path) {
    const std::string data = bytes();
    std::filesystem::path temp = path;
    temp += ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(data.data(), static_cast<std::streamsize>(data.size()));
        file.close();
        if (!file) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            throw WorkbookError("Fisierul " + path.string() + " nu a putut fi scris.");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw WorkbookError("Fisierul " + path.string() + " nu a putut fi scris.");
    }
}

}  // namespace tvx::workbook

// The ZIP the national e-invoicing system delivers: the invoice XML beside its signature.
// A small reader of the archive's central directory with zlib's raw inflate: every entry's
// name is checked before anything is inflated, only the chosen XML is inflated, and its size
// is counted while inflating (a header's claim is not trusted), then its CRC is checked.
#include <zlib.h>

#include <cstdint>

#include "core/einvoice/ReceivedEInvoice.h"
#include "tables/Value.h"

namespace tvx::core {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kMaxEntries = 1000;

struct Refused {
    std::string text;
};

std::uint32_t Le(std::string_view bytes, std::size_t at, int width) {
    if (at + static_cast<std::size_t>(width) > bytes.size())
        throw Refused{"este o arhiva ZIP deteriorata!"};
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

struct Entry {
    std::string name;
    std::uint16_t flags = 0, method = 0;
    std::uint32_t crc = 0, compressed = 0, size = 0, localOffset = 0;
};

// A name that would land outside the folder it is unpacked in.
bool ClimbsOut(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\') return true;
    if (name.size() > 1 && name[1] == ':') return true;  // a drive letter
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return true;
        start = end + 1;
    }
    return false;
}

std::vector<Entry> Directory(std::string_view zip) {
    if (zip.size() < kEndSize) throw Refused{"este o arhiva ZIP deteriorata!"};
    std::size_t end = std::string_view::npos;
    const std::size_t lowest = zip.size() > kEndSize + 65535 ? zip.size() - kEndSize - 65535 : 0;
    for (std::size_t at = zip.size() - kEndSize + 1; at-- > lowest;)
        if (Le(zip, at, 4) == kEndSignature) {
            end = at;
            break;
        }
    if (end == std::string_view::npos) throw Refused{"este o arhiva ZIP deteriorata!"};
    const std::uint32_t count = Le(zip, end + 10, 2);
    std::size_t at = Le(zip, end + 16, 4);
    if (count > kMaxEntries) throw Refused{"este o arhiva ZIP cu prea multe fisiere!"};
    std::vector<Entry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (Le(zip, at, 4) != kEntrySignature) throw Refused{"este o arhiva ZIP deteriorata!"};
        Entry e;
        e.flags = static_cast<std::uint16_t>(Le(zip, at + 8, 2));
        e.method = static_cast<std::uint16_t>(Le(zip, at + 10, 2));
        e.crc = Le(zip, at + 16, 4);
        e.compressed = Le(zip, at + 20, 4);
        e.size = Le(zip, at + 24, 4);
        const std::uint32_t nameLength = Le(zip, at + 28, 2);
        const std::uint32_t extra = Le(zip, at + 30, 2);
        const std::uint32_t comment = Le(zip, at + 32, 2);
        e.localOffset = Le(zip, at + 42, 4);
        if (at + 46 + nameLength > zip.size()) throw Refused{"este o arhiva ZIP deteriorata!"};
        e.name = std::string(zip.substr(at + 46, nameLength));
        if (ClimbsOut(e.name))
            throw Refused{"contine fisierul \"" + e.name +
                          "\", al carui nume iese din dosarul arhivei; arhiva este refuzata!"};
        entries.push_back(std::move(e));
        at += 46 + nameLength + extra + comment;
    }
    return entries;
}

std::string Inflate(std::string_view zip, const Entry& e) {
    if (e.flags & 1) throw Refused{"contine fisierul criptat " + e.name + "!"};
    if (e.method != 0 && e.method != 8)
        throw Refused{"contine fisierul " + e.name + " intr-o compresie necunoscuta!"};
    if (Le(zip, e.localOffset, 4) != kLocalSignature)
        throw Refused{"este o arhiva ZIP deteriorata!"};
    const std::size_t data = std::size_t{e.localOffset} + 30 + Le(zip, e.localOffset + 26, 2) +
                             Le(zip, e.localOffset + 28, 2);
    if (data > zip.size() || e.compressed > zip.size() - data)
        throw Refused{"este o arhiva ZIP deteriorata!"};
    const std::string_view packed = zip.substr(data, e.compressed);
    const std::string tooBig = "contine fisierul " + e.name + ", mai mare de " +
                               std::to_string(kEInvoiceMaxBytes / (1024 * 1024)) + " MB!";
    std::string out;
    if (e.method == 0) {
        if (packed.size() > kEInvoiceMaxBytes) throw Refused{tooBig};
        out = std::string(packed);
    } else {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) throw Refused{"nu poate fi dezarhivat!"};
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        stream.avail_in = static_cast<uInt>(packed.size());
        char buffer[65536];
        int result = Z_OK;
        while (result != Z_STREAM_END) {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            result = inflate(&stream, Z_NO_FLUSH);
            if (result != Z_OK && result != Z_STREAM_END) {
                inflateEnd(&stream);
                throw Refused{"contine fisierul deteriorat " + e.name + "!"};
            }
            out.append(buffer, sizeof buffer - stream.avail_out);
            if (out.size() > kEInvoiceMaxBytes) {
                inflateEnd(&stream);
                throw Refused{tooBig};
            }
            if (result == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) {
                inflateEnd(&stream);
                throw Refused{"contine fisierul deteriorat " + e.name + "!"};
            }
        }
        inflateEnd(&stream);
    }
    const uLong crc =
        crc32(0L, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size()));
    if (out.size() != e.size || crc != e.crc)
        throw Refused{"contine fisierul deteriorat " + e.name + "!"};
    return out;
}

std::string BaseName(const std::string& name) {
    const std::size_t slash = name.find_last_of("/\\");
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::optional<Message> EInvoiceXmlFromZip(std::string_view zip, const std::string& fileName,
                                          std::string& xml, std::string& xmlName) {
    try {
        const std::vector<Entry> entries = Directory(zip);
        const Entry* chosen = nullptr;
        for (const Entry& e : entries) {
            const std::string base = tables::toUpperAscii(BaseName(e.name));
            if (!base.ends_with(".XML") || base.starts_with("SEMNATURA_")) continue;
            if (chosen)
                throw Refused{"contine mai multe facturi XML (" + chosen->name + ", " + e.name +
                              "); alegeti fisierul XML dorit!"};
            chosen = &e;
        }
        if (!chosen) throw Refused{"nu contine nici o factura XML!"};
        xml = Inflate(zip, *chosen);
        xmlName = chosen->name;
    } catch (const Refused& refused) {
        return Message{kEInvoiceImportTitle, "Fisierul " + fileName + "\r" + refused.text,
                       MessageKind::Error};
    }
    return std::nullopt;
}

}  // namespace tvx::core

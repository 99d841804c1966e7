// The rich-text filler: a scan of the document into the characters a reader sees (each with
// the bytes that make it), the placeholder search over those characters, and the edits put
// back into the bytes.
#include "core/workshop/RtfReplace.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "core/common/TextRoutines.h"
#include "tables/EngineError.h"
#include "tables/Utf8.h"
#include "tables/dbf/Codepage.h"

namespace tvx::core {

namespace fs = std::filesystem;

namespace {

// A character of the visible text and the bytes [begin, end) of the document that make it.
// Characters that end a run of text (paragraph, line, tab, cell) are kept as kBreak with no
// bytes, so that no placeholder is matched across them.
constexpr char32_t kBreak = 0xFFFF;
struct Visible {
    char32_t ch;
    size_t begin, end;
};

struct Scan {
    std::vector<Visible> text;
    std::optional<size_t> bodyStart;  // the first "\pard" of the visible part
    size_t documentEnd = 0;           // the brace closing the document
    int codePage = 1252;
    bool whole = false;  // the document group is closed
};

// Destinations whose text a reader never sees.
const std::set<std::string, std::less<>> kHidden = {"fonttbl",
                                                    "colortbl",
                                                    "stylesheet",
                                                    "info",
                                                    "pict",
                                                    "listtable",
                                                    "listoverridetable",
                                                    "rsidtbl",
                                                    "generator",
                                                    "themedata",
                                                    "colorschememapping",
                                                    "datastore",
                                                    "latentstyles",
                                                    "xmlnstbl",
                                                    "pgdsctbl",
                                                    "revtbl",
                                                    "object",
                                                    "fldinst",
                                                    "bkmkstart",
                                                    "bkmkend",
                                                    "filetbl",
                                                    "xe",
                                                    "tc",
                                                    "mmathPr",
                                                    "defchp",
                                                    "defpap",
                                                    "passwordhash",
                                                    "userprops",
                                                    "docvar"};
// Control words that end a run of text.
const std::set<std::string, std::less<>> kBreaks = {"par",  "line", "tab",    "cell",    "row",
                                                    "sect", "page", "column", "nestcell"};

struct Group {
    bool hidden = false;
    int uc = 1;  // characters that stand in for a \uN
};

bool IsHexDigit(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

Scan ScanDocument(std::string_view rtf) {
    Scan scan;
    std::vector<Group> groups;
    size_t i = rtf.find('{');
    bool groupStart = false;  // the next token is the first of a group
    int skip = 0;             // fallback characters of a \uN still to pass over
    Visible* lastUnicode = nullptr;
    auto addChar = [&](char32_t ch, size_t begin, size_t end) {
        if (groups.empty() || groups.back().hidden) return;
        if (skip > 0) {
            --skip;
            if (lastUnicode) lastUnicode->end = end;
            return;
        }
        scan.text.push_back({ch, begin, end});
        lastUnicode = nullptr;
    };
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '{') {
            groups.push_back(groups.empty() ? Group{} : groups.back());
            groupStart = true;
            skip = 0;
            ++i;
            continue;
        }
        if (c == '}') {
            if (groups.empty()) break;
            groups.pop_back();
            skip = 0;
            if (groups.empty()) {
                scan.documentEnd = i;
                scan.whole = true;
                break;
            }
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        const bool first = groupStart;
        groupStart = false;
        if (c != '\\') {
            addChar(static_cast<unsigned char>(c), i, i + 1);
            ++i;
            continue;
        }
        const size_t start = i;
        if (i + 1 >= rtf.size()) break;
        const char next = rtf[i + 1];
        if (!std::isalpha(static_cast<unsigned char>(next))) {
            i += 2;
            if (next == '\'' && i + 2 <= rtf.size() && IsHexDigit(rtf[i]) &&
                IsHexDigit(rtf[i + 1])) {
                const auto byte =
                    static_cast<char32_t>(std::stoi(std::string(rtf.substr(i, 2)), nullptr, 16));
                i += 2;
                addChar(byte, start, i);
            } else if (next == '*') {
                if (first && !groups.empty()) groups.back().hidden = true;
            } else if (next == '{' || next == '}' || next == '\\') {
                addChar(static_cast<unsigned char>(next), start, i);
            } else if (next == '~') {
                addChar(0xA0, start, i);
            } else if (next == '\r' || next == '\n') {
                addChar(kBreak, start, start);
            }
            continue;
        }
        size_t j = i + 1;
        while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
        const std::string_view word = rtf.substr(i + 1, j - i - 1);
        size_t k = j;
        if (k < rtf.size() && rtf[k] == '-') ++k;
        while (k < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
        const std::string_view digits = rtf.substr(j, k - j);
        const bool hasParam = !digits.empty() && digits != "-";
        const long param = hasParam ? std::stol(std::string(digits)) : 0;
        if (k < rtf.size() && rtf[k] == ' ') ++k;
        i = k;
        if (groups.empty()) continue;
        if (first && kHidden.count(word)) groups.back().hidden = true;
        if (word == "bin" && hasParam) {
            i = std::min(rtf.size(), i + static_cast<size_t>(std::max(0L, param)));
        } else if (word == "ansicpg" && hasParam) {
            scan.codePage = static_cast<int>(param);
        } else if (word == "uc" && hasParam) {
            groups.back().uc = static_cast<int>(std::max(0L, param));
        } else if (word == "u" && hasParam) {
            const char32_t ch = static_cast<char32_t>(param < 0 ? param + 65536 : param);
            skip = 0;
            addChar(ch, start, i);
            if (!groups.back().hidden) {
                lastUnicode = &scan.text.back();
                skip = groups.back().uc;
            }
        } else if (word == "pard" && !groups.back().hidden && !scan.bodyStart) {
            scan.bodyStart = start;
        } else if (kBreaks.count(word)) {
            addChar(kBreak, start, start);
        }
    }
    return scan;
}

char32_t Lower(char32_t ch) {
    return ch < 128 ? static_cast<char32_t>(std::tolower(static_cast<int>(ch))) : ch;
}

// The byte of `ch` in the code page, when the code page holds it exactly.
std::optional<unsigned char> CodePageByte(char32_t ch, int codePage) {
    if (codePage == 1250) {
        std::string utf8;
        tables::appendUtf8(utf8, ch);
        const std::string byte = tables::dbf::utf8ToCp1250(utf8);
        if (byte.size() == 1 && byte != "?" && tables::dbf::cp1250ToUtf8(byte) == utf8)
            return static_cast<unsigned char>(byte[0]);
        return std::nullopt;
    }
    if ((codePage == 1252 || codePage == 28591) && ch >= 0xA0 && ch <= 0xFF)
        return static_cast<unsigned char>(ch);
    return std::nullopt;
}

const char* kHex = "0123456789abcdef";

// `value` (UTF-8) as rich text of the document's code page.
std::string EncodeValue(std::string_view value, int codePage) {
    std::string out;
    size_t pos = 0;
    while (pos < value.size()) {
        char32_t ch = 0;
        if (!tables::decodeUtf8(value, pos, ch)) ch = '?';
        if (ch == '\\' || ch == '{' || ch == '}') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch == '\t') {
            out += "\\tab ";
        } else if (ch == '\n') {
            out += "\\line ";
        } else if (ch < 0x20 || ch == 0x7F) {
            continue;
        } else if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (const auto byte = CodePageByte(ch, codePage)) {
            out += "\\'";
            out += kHex[*byte >> 4];
            out += kHex[*byte & 15];
        } else {
            const long n = ch > 0xFFFF ? '?' : static_cast<long>(ch);
            out += "{\\uc1\\u" + std::to_string(n > 32767 ? n - 65536 : n) + "?}";
        }
    }
    return out;
}

// The visible characters as UTF-8.
std::string VisibleText(const std::vector<Visible>& text, size_t from, size_t count) {
    std::string out;
    for (size_t n = from; n < from + count; ++n) tables::appendUtf8(out, text[n].ch);
    return out;
}

struct Edit {
    size_t begin, end;
    std::string replacement;
};

std::vector<Edit> PlaceholderEdits(const Scan& scan, const std::vector<RtfPair>& pairs) {
    std::vector<Edit> edits;
    std::vector<bool> used(scan.text.size(), false);
    for (const RtfPair& pair : pairs) {
        std::u32string wanted;
        for (size_t pos = 0; pos < pair.placeholder.size();) {
            char32_t ch = 0;
            if (!tables::decodeUtf8(pair.placeholder, pos, ch)) ch = '?';
            wanted.push_back(Lower(ch));
        }
        if (wanted.empty() || wanted.size() > scan.text.size()) continue;
        for (size_t at = 0; at + wanted.size() <= scan.text.size(); ++at) {
            bool match = true;
            for (size_t n = 0; n < wanted.size() && match; ++n)
                match = !used[at + n] && Lower(scan.text[at + n].ch) == wanted[n];
            if (!match) continue;
            const std::string found = VisibleText(scan.text, at, wanted.size());
            std::string value = pair.value;
            if (CharCount(found) > 4 && UpperText(found) == found) value = UpperText(value);
            if (value.empty()) value = kEmptyPlaceholderValue;
            edits.push_back(
                {scan.text[at].begin, scan.text[at].end, EncodeValue(value, scan.codePage)});
            for (size_t n = 0; n < wanted.size(); ++n) {
                used[at + n] = true;
                if (n > 0) edits.push_back({scan.text[at + n].begin, scan.text[at + n].end, {}});
            }
            at += wanted.size() - 1;
        }
    }
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    return edits;
}

// The bytes [from, to) of `rtf` with the edits that fall there applied.
std::string Apply(std::string_view rtf, const std::vector<Edit>& edits, size_t from, size_t to) {
    std::string out;
    size_t pos = from;
    for (const Edit& edit : edits) {
        if (edit.begin < from || edit.end > to) continue;
        out.append(rtf.substr(pos, edit.begin - pos));
        out += edit.replacement;
        pos = edit.end;
    }
    out.append(rtf.substr(pos, to - pos));
    return out;
}

size_t DocumentStart(std::string_view bytes) {
    size_t start = 0;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") start = 3;
    while (start < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[start]))) ++start;
    return start;
}

}  // namespace

bool IsRtfDocument(std::string_view bytes) {
    const size_t start = DocumentStart(bytes);
    if (bytes.substr(start, 5) != "{\\rtf") return false;
    return ScanDocument(bytes.substr(start)).whole;
}

std::optional<std::string> FillRtf(std::string_view rtf, const std::vector<RtfPair>& pairs,
                                   int copies) {
    if (!IsRtfDocument(rtf)) return std::nullopt;
    rtf.remove_prefix(DocumentStart(rtf));
    const Scan scan = ScanDocument(rtf);
    const std::vector<Edit> edits = PlaceholderEdits(scan, pairs);
    if (copies <= 1 || !scan.bodyStart) return Apply(rtf, edits, 0, scan.documentEnd) + "}\n";
    const std::string body = Apply(rtf, edits, *scan.bodyStart, scan.documentEnd);
    std::string out = Apply(rtf, edits, 0, *scan.bodyStart) + body;
    for (int n = 1; n < copies; ++n) out += "\n\\page\n" + body;
    return out + "}\n";
}

bool RtfReplace::PickDestination(const fs::path& folder) {
    std::error_code ec;
    const fs::path source = RTFSursa.empty() ? fs::path() : fs::weakly_canonical(RTFSursa, ec);
    for (int n = 0; n <= 99; ++n) {
        const std::string name = std::to_string(n) + ".rtf";
        const fs::path candidate = folder / name;
        if (!fs::exists(candidate, ec)) {
            RTFDest = candidate;
            return true;
        }
        if (!source.empty() && fs::weakly_canonical(candidate, ec) == source) continue;
        if (fs::exists(folder / (".~lock." + name + "#"), ec)) continue;
        if (fs::is_regular_file(candidate, ec) && fs::remove(candidate, ec)) {
            RTFDest = candidate;
            return true;
        }
    }
    return false;
}

bool RtfReplace::BeginDocument() {
    pairs_.clear();
    filled_.clear();
    template_.clear();
    if (RTFSursa.empty()) return false;
    std::optional<std::string> bytes;
    try {
        bytes = ReadWholeFile(RTFSursa);
    } catch (const tables::EngineError&) {
        return false;
    }
    if (!bytes || !IsRtfDocument(*bytes)) return false;
    template_ = std::move(*bytes);
    return true;
}

void RtfReplace::AddPair(const std::string& placeholder, const std::string& value) {
    pairs_.push_back({placeholder, value});
}

void RtfReplace::WriteBody(int copies) {
    filled_ = FillRtf(template_, pairs_, copies).value_or(std::string());
    pairs_.clear();
}

void RtfReplace::EndDocument() {
    if (RTFDest.empty() || filled_.empty())
        throw tables::EngineError("No filled document to write", RTFDest.string());
    std::error_code ec;
    if (!RTFSursa.empty() && fs::exists(RTFDest, ec) && fs::equivalent(RTFDest, RTFSursa, ec))
        throw tables::EngineError("The template is not written over", RTFDest.string());
    WriteFileAtomically(RTFDest, filled_);
}

}  // namespace tvx::core

// Formula tokens: walking, moving references, evaluation and compilation (workbook layer).
#include "workbook/Formula.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "workbook/Bytes.h"

namespace tvx::workbook {

using namespace bytes;

namespace {

constexpr int kMaxRow = 65535;

// Token ids without their class bits (reference, value, array).
enum Ptg : uint8_t {
    kExp = 0x01,
    kAdd = 0x03,
    kSub = 0x04,
    kMul = 0x05,
    kDiv = 0x06,
    kUplus = 0x12,
    kUminus = 0x13,
    kParen = 0x15,
    kStr = 0x17,
    kAttr = 0x19,
    kErr = 0x1C,
    kBool = 0x1D,
    kInt = 0x1E,
    kNum = 0x1F,
    kFunc = 0x21,
    kFuncVar = 0x22,
    kRef = 0x24,
    kArea = 0x25,
    kRefErr = 0x2A,
    kAreaErr = 0x2B,
    kRefN = 0x2C,
    kAreaN = 0x2D,
    kRef3d = 0x3A,
    kArea3d = 0x3B,
    kRefErr3d = 0x3C,
};
constexpr uint16_t kSumFunction = 4;

uint8_t BaseOf(uint8_t code) {
    return code >= 0x20 ? static_cast<uint8_t>((code & 0x1F) | 0x20) : code;
}

// Size of the token at `at` (its id byte included); 0 when the token is unknown.
size_t TokenSize(const Tokens& t, size_t at) {
    const uint8_t base = BaseOf(U8(t, at));
    switch (base) {
        case 0x01:
        case 0x02:
            return 5;
        case 0x17: {
            const size_t count = U8(t, at + 1);
            return 3 + count * ((U8(t, at + 2) & 1) ? 2 : 1);
        }
        case 0x19: {
            const uint8_t grbit = U8(t, at + 1);
            if (grbit & 0x04) return 4 + 2 * (static_cast<size_t>(U16(t, at + 2)) + 1);
            return 4;
        }
        case 0x1C:
        case 0x1D:
            return 2;
        case 0x1E:
            return 3;
        case 0x1F:
            return 9;
        case 0x20:
            return 8;
        case 0x21:
            return 3;
        case 0x22:
            return 4;
        case 0x23:
            return 5;
        case 0x24:
        case 0x2A:
        case 0x2C:
            return 5;
        case 0x25:
        case 0x2B:
        case 0x2D:
            return 9;
        case 0x26:
        case 0x27:
        case 0x28:
            return 7;
        case 0x29:
        case 0x2E:
        case 0x2F:
            return 3;
        case 0x39:
            return 7;
        case 0x3A:
        case 0x3C:
            return 7;
        case 0x3B:
        case 0x3D:
            return 11;
        default:
            break;
    }
    if (base >= 0x03 && base <= 0x16) return 1;
    return 0;
}

// Calls `visit(position, base id)` for every token; stops at an unknown one.
template <typename Visit>
void ForEachToken(Tokens& t, Visit visit) {
    for (size_t at = 0; at < t.size();) {
        const size_t size = TokenSize(t, at);
        if (size == 0 || at + size > t.size()) return;
        visit(at, BaseOf(U8(t, at)));
        at += size;
    }
}

void MakeError(Tokens& t, size_t at) {
    // ptgRef -> ptgRefErr, ptgArea -> ptgAreaErr: same size, class bits kept.
    t[at] = static_cast<char>(U8(t, at) + (kRefErr - kRef));
}

}  // namespace

namespace {

// Where a reference token keeps its rows: the offset of its (first) row field and whether a
// last row follows; false for a token that is no reference (3-D ones only when `threeD`).
bool RowFields(uint8_t base, bool threeD, size_t& offset, bool& area) {
    if (base == kRef || base == kArea) {
        offset = 1;
        area = base == kArea;
        return true;
    }
    if (threeD && (base == kRef3d || base == kArea3d)) {
        offset = 3;  // after the sheet reference
        area = base == kArea3d;
        return true;
    }
    return false;
}

}  // namespace

void InsertRowsInFormula(Tokens& t, int at, int count, bool threeD) {
    ForEachToken(t, [&](size_t p, uint8_t base) {
        size_t offset;
        bool area;
        if (!RowFields(base, threeD, offset, area)) return;
        for (size_t field : {p + offset, p + offset + 2}) {
            const int row = U16(t, field);
            if (row >= at) SetU16(t, field, static_cast<uint16_t>(std::min(row + count, kMaxRow)));
            if (!area) break;
        }
    });
}

void DeleteRowsInFormula(Tokens& t, int at, int count, bool threeD) {
    const int end = at + count;  // first row after the deleted ones
    ForEachToken(t, [&](size_t p, uint8_t base) {
        size_t offset;
        bool area;
        if (!RowFields(base, threeD, offset, area)) return;
        const int first = U16(t, p + offset), last = area ? U16(t, p + offset + 2) : first;
        const int newFirst = first < at ? first : (first >= end ? first - count : at);
        const int newLast = last < at ? last : (last >= end ? last - count : at - 1);
        if (newLast < newFirst) {
            // The reference lost its rows: #REF! (ptgRefErr/ptgAreaErr, their 3-D forms).
            t[p] =
                static_cast<char>(U8(t, p) + (offset == 1 ? kRefErr - kRef : kRefErr3d - kRef3d));
            return;
        }
        SetU16(t, p + offset, static_cast<uint16_t>(newFirst));
        if (area) SetU16(t, p + offset + 2, static_cast<uint16_t>(newLast));
    });
}

void MoveRelativeRows(Tokens& t, int delta) {
    auto move = [&](size_t rowAt, uint16_t colField) {
        if (!(colField & 0x4000)) return false;  // absolute row
        const int row = U16(t, rowAt) + delta;
        if (row < 0 || row > kMaxRow) return true;
        SetU16(t, rowAt, static_cast<uint16_t>(row));
        return false;
    };
    ForEachToken(t, [&](size_t p, uint8_t base) {
        if (base == kRef) {
            if (move(p + 1, U16(t, p + 3))) MakeError(t, p);
        } else if (base == kArea) {
            const bool outFirst = move(p + 1, U16(t, p + 5));
            const bool outLast = move(p + 3, U16(t, p + 7));
            if (outFirst || outLast) MakeError(t, p);
        }
    });
}

Tokens ResolveShared(const Tokens& shared, int row, int col) {
    Tokens t = shared;
    auto rowOf = [&](size_t at, uint16_t colField) {
        const int stored = U16(t, at);
        return (colField & 0x4000) ? row + static_cast<int16_t>(stored) : stored;
    };
    auto colOf = [&](uint16_t colField) {
        const int stored = colField & 0xFF;
        const int value = (colField & 0x8000) ? col + static_cast<int8_t>(stored) : stored;
        return static_cast<uint16_t>((colField & 0xC000) | (value & 0xFF));
    };
    ForEachToken(t, [&](size_t p, uint8_t base) {
        if (base == kRefN) {
            const uint16_t colField = U16(t, p + 3);
            SetU16(t, p + 1, static_cast<uint16_t>(rowOf(p + 1, colField)));
            SetU16(t, p + 3, colOf(colField));
            t[p] = static_cast<char>(U8(t, p) - (kRefN - kRef));
        } else if (base == kAreaN) {
            const uint16_t c1 = U16(t, p + 5), c2 = U16(t, p + 7);
            SetU16(t, p + 1, static_cast<uint16_t>(rowOf(p + 1, c1)));
            SetU16(t, p + 3, static_cast<uint16_t>(rowOf(p + 3, c2)));
            SetU16(t, p + 5, colOf(c1));
            SetU16(t, p + 7, colOf(c2));
            t[p] = static_cast<char>(U8(t, p) - (kAreaN - kArea));
        }
    });
    return t;
}

std::optional<double> EvaluateFormula(const Tokens& rgce, const CellNumber& cell) {
    struct Operand {
        bool area = false;
        double value = 0;
        int r1 = 0, r2 = 0, c1 = 0, c2 = 0;
    };
    std::vector<Operand> stack;
    auto number = [&](const Operand& o) -> std::optional<double> {
        if (!o.area) return o.value;
        if (o.r1 == o.r2 && o.c1 == o.c2) return cell(o.r1, o.c1);
        return std::nullopt;
    };
    auto sum = [&](const Operand& o) -> double {
        if (!o.area) return o.value;
        double total = 0;
        for (int r = o.r1; r <= o.r2; ++r)
            for (int c = o.c1; c <= o.c2; ++c) total += cell(r, c).value_or(0);
        return total;
    };
    Tokens t = rgce;
    bool failed = false;
    ForEachToken(t, [&](size_t p, uint8_t base) {
        if (failed) return;
        switch (base) {
            case kInt:
                stack.push_back({false, static_cast<double>(U16(t, p + 1))});
                return;
            case kNum:
                stack.push_back({false, F64(t, p + 1)});
                return;
            case kBool:
                stack.push_back({false, static_cast<double>(U8(t, p + 1))});
                return;
            case kRef: {
                const int r = U16(t, p + 1), c = U16(t, p + 3) & 0xFF;
                stack.push_back({true, 0, r, r, c, c});
                return;
            }
            case kArea:
                stack.push_back({true, 0, U16(t, p + 1), U16(t, p + 3), U16(t, p + 5) & 0xFF,
                                 U16(t, p + 7) & 0xFF});
                return;
            case kParen:
                return;
            case kAttr: {
                const uint8_t grbit = U8(t, p + 1);
                if (grbit == 0x10 && !stack.empty()) {  // SUM of one argument
                    stack.back() = {false, sum(stack.back())};
                } else if (grbit & ~0x41) {  // anything but volatile / spaces
                    failed = true;
                }
                return;
            }
            case kUplus:
            case kUminus: {
                if (stack.empty()) break;
                const auto v = number(stack.back());
                if (!v) break;
                stack.back() = {false, base == kUminus ? -*v : *v};
                return;
            }
            case kAdd:
            case kSub:
            case kMul:
            case kDiv: {
                if (stack.size() < 2) break;
                const auto b = number(stack.back());
                stack.pop_back();
                const auto a = number(stack.back());
                if (!a || !b || (base == kDiv && *b == 0)) break;
                const double r = base == kAdd   ? *a + *b
                                 : base == kSub ? *a - *b
                                 : base == kMul ? *a * *b
                                                : *a / *b;
                stack.back() = {false, r};
                return;
            }
            case kFuncVar:
            case kFunc: {
                const size_t argc = base == kFuncVar ? U8(t, p + 1) : 1;
                const uint16_t function = U16(t, p + (base == kFuncVar ? 2 : 1)) & 0x7FFF;
                if (function != kSumFunction || stack.size() < argc) break;
                double total = 0;
                for (size_t i = 0; i < argc; ++i) {
                    total += sum(stack.back());
                    stack.pop_back();
                }
                stack.push_back({false, total});
                return;
            }
            default:
                break;
        }
        failed = true;
    });
    if (failed || stack.size() != 1) return std::nullopt;
    const std::optional<double> result = number(stack.back());
    if (!result || !std::isfinite(*result)) return result;
    // Fifteen significant digits, as a spreadsheet program keeps them: 19 + 59.5 + 3.8
    // is 82.3, not 82.30000000000001.
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", *result);
    return std::strtod(text, nullptr);
}

bool ParseCellRef(std::string_view text, int& row, int& col) {
    size_t i = 0;
    if (i < text.size() && text[i] == '$') ++i;
    col = 0;
    const size_t lettersFrom = i;
    while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i])))
        col = col * 26 + (std::toupper(static_cast<unsigned char>(text[i++])) - 'A' + 1);
    if (i == lettersFrom || i - lettersFrom > 2) return false;
    if (i < text.size() && text[i] == '$') ++i;
    const size_t digitsFrom = i;
    row = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        row = row * 10 + (text[i++] - '0');
    if (i == digitsFrom || i != text.size() || row < 1 || row > kMaxRow + 1) return false;
    --row;
    --col;
    return col < 256;
}

namespace {

// Recursive descent over: expr = term {(+|-) term}; term = unary {(*|/) unary};
// unary = [-] primary; primary = number | ref | ref:ref | SUM(args) | (expr).
class Compiler {
  public:
    explicit Compiler(std::string_view text) : s_(text) {}
    Tokens run() {
        expression();
        skipBlanks();
        if (pos_ != s_.size()) fail();
        return out_;
    }

  private:
    [[noreturn]] void fail() {
        throw std::invalid_argument("formula cannot be compiled: " + std::string(s_));
    }
    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_;
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) return ++pos_, true;
        return false;
    }
    void expression() {
        term();
        for (;;) {
            if (accept('+'))
                term(), PutU8(out_, kAdd);
            else if (accept('-'))
                term(), PutU8(out_, kSub);
            else
                return;
        }
    }
    void term() {
        unary();
        for (;;) {
            if (accept('*'))
                unary(), PutU8(out_, kMul);
            else if (accept('/'))
                unary(), PutU8(out_, kDiv);
            else
                return;
        }
    }
    void unary() {
        if (accept('-')) return unary(), PutU8(out_, kUminus);
        primary();
    }
    std::string word() {
        skipBlanks();
        const size_t from = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) ||
                                    s_[pos_] == '$' || s_[pos_] == '.'))
            ++pos_;
        return std::string(s_.substr(from, pos_ - from));
    }
    void reference(uint8_t refClass, const std::string& first) {
        int r1, c1, r2, c2;
        if (!ParseCellRef(first, r1, c1)) fail();
        auto colField = [](const std::string& ref, int col) {
            const bool colAbs = !ref.empty() && ref[0] == '$';
            const bool rowAbs = ref.find('$', 1) != std::string::npos;
            return static_cast<uint16_t>(col | (rowAbs ? 0 : 0x4000) | (colAbs ? 0 : 0x8000));
        };
        if (accept(':')) {
            const std::string second = word();
            if (!ParseCellRef(second, r2, c2)) fail();
            PutU8(out_, static_cast<uint8_t>(kArea + refClass));
            PutU16(out_, static_cast<uint16_t>(r1));
            PutU16(out_, static_cast<uint16_t>(r2));
            PutU16(out_, colField(first, c1));
            PutU16(out_, colField(second, c2));
            return;
        }
        PutU8(out_, static_cast<uint8_t>(kRef + refClass));
        PutU16(out_, static_cast<uint16_t>(r1));
        PutU16(out_, colField(first, c1));
    }
    void primary() {
        if (accept('(')) {
            expression();
            if (!accept(')')) fail();
            PutU8(out_, kParen);
            return;
        }
        const std::string w = word();
        if (w.empty()) fail();
        if (std::isdigit(static_cast<unsigned char>(w[0]))) {
            PutU8(out_, kNum);
            PutF64(out_, std::stod(w));
            return;
        }
        std::string upper;
        for (char c : w)
            upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (upper == "SUM" && accept('(')) {
            int argc = 0;
            do {
                const std::string ref = word();
                reference(0x00, ref);  // reference class inside SUM
                ++argc;
            } while (accept(','));
            if (!accept(')')) fail();
            PutU8(out_, kFuncVar + 0x20);
            PutU8(out_, static_cast<uint8_t>(argc));
            PutU16(out_, kSumFunction);
            return;
        }
        reference(0x20, w);  // value class
    }

    std::string_view s_;
    size_t pos_ = 0;
    Tokens out_;
};

}  // namespace

Tokens CompileFormula(std::string_view text) {
    return Compiler(text).run();
}

}  // namespace tvx::workbook

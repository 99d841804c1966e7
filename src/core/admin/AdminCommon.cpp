// The cut of typed text to a box's length.
#include "core/admin/AdminCommon.h"

namespace tvx::core {

std::string FirstChars(std::string_view text, size_t count) {
    size_t pos = 0;
    for (size_t n = 0; n < count && pos < text.size(); ++n) {
        ++pos;
        while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80) ++pos;
    }
    return std::string(text.substr(0, pos));
}

}  // namespace tvx::core

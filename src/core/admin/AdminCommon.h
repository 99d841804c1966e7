// Small pieces shared by the administration modules (core/admin): the {field, message} of a
// failed check, the texts of a message-window question or notice, and the cut of typed text
// to a box's length.
#pragma once

#include <string>
#include <string_view>

namespace tvx::core {

// A failed check: the control that gets the warning balloon and its text.
struct FieldProblem {
    std::string field;
    std::string message;
};

enum class MessageKind { Warning, Error, Information, Confirmation };

// What the message window shows: title, text and kind (the window picks the buttons).
struct Message {
    std::string title;
    std::string text;
    MessageKind kind = MessageKind::Information;
};

// The first `count` characters of UTF-8 text (a character is never split).
std::string FirstChars(std::string_view text, size_t count);

}  // namespace tvx::core

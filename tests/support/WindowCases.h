#pragma once

#include <array>

namespace halvern::testing {

// What every window must do as a user sees it, as data every window's tests read: what a press
// shows, and which error each bad input reports where.

struct PressCase {
    const char* amount;
    const char* gprice;
    const char* fee;
};
inline constexpr std::array<PressCase, 3> pressCases{{
    {"100", "550", "1"},
    {"10", "550", "0.18"},
    {"28.5", "550", "0.28"},
}};

struct ErrorCase {
    const char* name;
    const char* amount;
    const char* gprice;
    const char* words; // a part of the report that names what is wrong
    const char* focus; // the field to put right, or nullptr where none is to blame
};
inline constexpr std::array<ErrorCase, 8> errorCases{{
    {"empty amount", "", "550", "The amount is empty.", "amount"},
    {"letters", "12abc", "550", "12abc", "amount"},
    {"digits of another script", "\u0661\u0662\u0663", "550", "\u0661\u0662\u0663", "amount"},
    {"gold price", "100", "1,5", "The gold price", "gprice"},
    {"markup stays text", "<b>1</b>", "550", "<b>1</b>", "amount"},
    {"zero gold price", "100", "0", "Division by zero", "gprice"},
    {"zero by zero", "0", "0", "Invalid operation", "gprice"},
    {"too large", "1e400", "550", "Overflow", nullptr},
}};

} // namespace halvern::testing

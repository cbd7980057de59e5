#pragma once

#include "calc/Errors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halvern::ui {

// The calculator window's control table: its ten controls in the order the Windows window
// creates them (the Qt window and the page create them in reading order), with names, captions,
// places in twips, colours and tab order. It only describes; each toolkit's window builds its
// widgets from it through the rules in Layout.h, and nothing here changes while the program runs.

enum class ControlKind { textField, pushButton, label, picture };

// Where a control's background comes from: the toolkit's own look, the window's colour, or the
// light grey that marks the fee as output.
enum class Background { toolkit, window, lightGrey };

struct ControlRow {
    const char* name;
    ControlKind kind;
    const char* text;             // a caption or initial text; for the picture, its asset's name
    int left, top, width, height; // twips from the client area's top-left corner
    Background background;
    int tabIndex; // noTabStop for controls that never take the focus
};

inline constexpr int noTabStop = -1;

inline constexpr const char* formName = "form1";
inline constexpr const char* formCaption = "Halvern Fee Calculator";
// What the logo says to those who cannot see it, in every window: the name it shows.
inline constexpr const char* logoText = "Halvern, the payment service";
inline constexpr int formWidth = 4680, formHeight = 3195; // twips: the client area

// Colours as 0x00BBGGRR: low byte red, then green, then blue.
inline constexpr std::uint32_t windowColour = 0x0000C0C0; // red 192, green 192, blue 0
inline constexpr std::uint32_t lightGrey = 0x00C0C0C0;
// Text drawn on a colour fixed above is fixed with it, whatever the desktop's theme: a dark
// theme's light text on the dark yellow would be unreadable.
inline constexpr std::uint32_t textOnFixedColour = 0x00000000;

// clang-format off
inline constexpr std::array<ControlRow, 10> controlTable{{
    {"fee",      ControlKind::textField,  "",              3000, 2040, 1335, 285, Background::lightGrey, 5},
    {"gprice",   ControlKind::textField,  "550",           3000, 1200, 1335, 285, Background::toolkit,   2},
    {"Command1", ControlKind::pushButton, "Calculate fee",  480, 2040, 1335, 255, Background::toolkit,   1},
    {"amount",   ControlKind::textField,  "",              3000,  840, 1335, 285, Background::toolkit,   0},
    {"Label5",   ControlKind::label,      "www.hfc.example",
                                                             30,    0, 1305, 195, Background::window,    8},
    {"Label4",   ControlKind::label,      "This software is free. Feel free to donate to halvern 4711023",
                                                            120, 2880, 4215, 255, Background::window,    7},
    {"Image1",   ControlKind::picture,    "logo",          2880,    0, 1575, 675, Background::toolkit,   noTabStop},
    {"Label3",   ControlKind::label,      "Fee $",         2520, 2090,  420, 195, Background::window,    6},
    {"Label2",   ControlKind::label,      "Goldprice $/ounce",
                                                           1560, 1230, 1335, 255, Background::window,    4},
    {"Label1",   ControlKind::label,      "Input transfered amount $",
                                                           1080,  890, 1815, 255, Background::window,    3},
}};
// clang-format on

// The row of the control with this name; controlTable.size() where there is none.
constexpr std::size_t rowOf(std::string_view name) {
    for (std::size_t i = 0; i < controlTable.size(); ++i) {
        if (name == controlTable[i].name)
            return i;
    }
    return controlTable.size();
}

// The three fields the calculation reads and writes: each is the control of its own name
// (fieldName), with the caption that names it to the user and to assistive technology, and the
// words a report uses for it.
struct FieldRow {
    Field field;
    const char* caption; // the label beside it
    const char* inWords;
};
inline constexpr std::array<FieldRow, 3> fieldTable{{
    {Field::amount, "Label1", "amount"},
    {Field::gprice, "Label2", "gold price"},
    {Field::fee, "Label3", "fee"},
}};

constexpr const FieldRow& fieldRow(Field field) {
    for (const FieldRow& row : fieldTable) {
        if (row.field == field)
            return row;
    }
    return fieldTable[0];
}

// The row of the control that holds a field.
constexpr std::size_t rowOf(Field field) {
    return rowOf(fieldName(field));
}

} // namespace halvern::ui

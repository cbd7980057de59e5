#pragma once

#include <QColor>
#include <QRect>
#include <QSize>
#include <array>

namespace halvern::ui {

// The calculator window as designed: its ten controls in the order the window creates them, with
// names, captions, places in twips and colours. It only describes; building widgets from it is
// the window's job, and nothing here changes while the program runs.

enum class ControlKind { textField, pushButton, label, picture };

// Where a control's background comes from: the toolkit's own look, the window's colour, or the
// light grey that marks the fee as output.
enum class Background { toolkit, window, lightGrey };

struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* text;             // a caption or initial text; for the picture, its resource path
    int left, top, width, height; // twips from the client area's top-left corner
    Background background;
    int tabIndex; // noTabStop for controls that never take the focus
};

inline constexpr int noTabStop = -1;

inline constexpr const char* formName = "form1";
inline constexpr const char* formCaption = "Halvern Fee Calculator";
inline constexpr const char* formIcon = ":/halvern.ico";
inline constexpr int formWidth = 4680, formHeight = 3195; // twips: the client area
inline constexpr QRgb windowColour = 0xffc0c000;          // red 192, green 192, blue 0
inline constexpr QRgb lightGrey = 0xffc0c0c0;

// clang-format off
inline constexpr std::array<ControlSpec, 10> controlTable{{
    {"fee",      ControlKind::textField,  "",              3000, 2040, 1335, 285, Background::lightGrey, 5},
    {"gprice",   ControlKind::textField,  "550",           3000, 1200, 1335, 285, Background::toolkit,   2},
    {"Command1", ControlKind::pushButton, "Calculate fee",  480, 2040, 1335, 255, Background::toolkit,   1},
    {"amount",   ControlKind::textField,  "",              3000,  840, 1335, 285, Background::toolkit,   0},
    {"Label5",   ControlKind::label,      "www.hfc.example",
                                                             30,    0, 1305, 195, Background::window,    8},
    {"Label4",   ControlKind::label,      "This software is free. Feel free to donate to halvern 4711023",
                                                            120, 2880, 4215, 255, Background::window,    7},
    {"Image1",   ControlKind::picture,    ":/logo.gif",    2880,    0, 1575, 675, Background::toolkit,   noTabStop},
    {"Label3",   ControlKind::label,      "Fee $",         2520, 2090,  420, 195, Background::window,    6},
    {"Label2",   ControlKind::label,      "Goldprice $/ounce",
                                                           1560, 1230, 1335, 255, Background::window,    4},
    {"Label1",   ControlKind::label,      "Input transfered amount $",
                                                           1080,  890, 1815, 255, Background::window,    3},
}};
// clang-format on

// Twips to logical pixels: 15 twips make a pixel at 96 DPI; Qt scales logical pixels on denser
// screens.
constexpr int twipsToPixels(int twips) {
    return (twips + 7) / 15;
}

constexpr QRect pixelRect(const ControlSpec& spec) {
    return {twipsToPixels(spec.left), twipsToPixels(spec.top), twipsToPixels(spec.width),
            twipsToPixels(spec.height)};
}

constexpr QSize windowPixelSize() {
    return {twipsToPixels(formWidth), twipsToPixels(formHeight)};
}

} // namespace halvern::ui

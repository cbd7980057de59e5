// Writes the page's index.html and layout.css from the control table, at build time: every
// control's place, text, colour and name comes from the table the desktop windows are built
// from, so the page has no second copy of them.
//   make-page <site folder>
#include "ui/shared/ControlTable.h"
#include "ui/shared/Layout.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace {

using namespace halvern::ui;

// Text for HTML: the table's texts are plain, and stay plain whatever they hold.
std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string rgb(std::uint32_t bgr) {
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "rgb(%u, %u, %u)", bgr & 0xFFU, (bgr >> 8U) & 0xFFU,
                  (bgr >> 16U) & 0xFFU);
    return buffer.data();
}

// The caption a field is labelled by, if it is one.
const FieldRow* fieldWithCaption(std::string_view label) {
    for (const FieldRow& row : fieldTable) {
        if (label == row.caption)
            return &row;
    }
    return nullptr;
}

std::string control(const ControlRow& row) {
    const std::string id = row.name;
    const std::string text = escaped(row.text);
    switch (row.kind) {
    case ControlKind::textField:
        // Typed text is the user's own: no spelling or autofill suggestions over a number. Its
        // caption names it, through the caption's label element.
        return "<input type=\"text\" id=\"" + id + "\" value=\"" + text +
               "\" inputmode=\"decimal\" autocomplete=\"off\" spellcheck=\"false\">";
    case ControlKind::pushButton:
        // Not pressable until the page's script runs: it enables the button at once, and keeps a
        // press made while the calculation loads until it has.
        return "<button type=\"button\" id=\"" + id + "\" disabled>" + text + "</button>";
    case ControlKind::label:
        if (const FieldRow* field = fieldWithCaption(row.name))
            return "<label id=\"" + id + "\" for=\"" + std::string(fieldName(field->field)) +
                   "\">" + text + "</label>";
        return "<span id=\"" + id + "\">" + text + "</span>";
    case ControlKind::picture: {
        const PixelRect box = pixelRect(row); // the logo is drawn at its box's size
        return "<img id=\"" + id + "\" src=\"" + text + ".gif\" srcset=\"" + text + "@2x.gif 2x\"" +
               " width=\"" + std::to_string(box.width) + "\" height=\"" +
               std::to_string(box.height) + "\" alt=\"" + escaped(logoText) + "\">";
    }
    }
    return {};
}

// What the page's script takes from the tables rather than spelling out again: the tab chain,
// and the fields in the field table's order, each as names apart by spaces.
std::string tableData() {
    std::string chain, fields;
    for (const std::size_t row : tabChain)
        chain += std::string(chain.empty() ? "" : " ") + controlTable.at(row).name;
    for (const FieldRow& row : fieldTable)
        fields += (fields.empty() ? "" : " ") + std::string(fieldName(row.field));
    return " data-tab-chain=\"" + chain + "\" data-fields=\"" + fields + "\"";
}

std::string page() {
    std::ostringstream html;
    html << R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; img-src 'self'; connect-src 'self'; manifest-src 'self'; worker-src 'self'; object-src 'none'; base-uri 'none'; form-action 'none'">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="description" content="The transfer fee of the Halvern payment service, whose fees are set in grams of gold.">
<title>)" << escaped(formCaption)
         << R"(</title>
<link rel="icon" href="halvern.ico" sizes="16x16 32x32">
<link rel="apple-touch-icon" href="icons/halvern-192.png">
<link rel="manifest" href="manifest.webmanifest">
<link rel="stylesheet" href="page.css">
<link rel="stylesheet" href="layout.css">
<script src="layout.js"></script>
<script src="halvern.js" defer></script>
<script src="app.js" defer></script>
</head>
<body>
<main id=")"
         << formName << '"' << tableData() << R"( aria-labelledby="caption">
<h1 id="caption"><img src="halvern.ico" width="16" height="16" alt="">)"
         << escaped(formCaption) << R"(</h1>
<div id="client">
)";
    // In the order a person reads the window, for screen readers; the boxes place them.
    for (const std::size_t row : readingOrder())
        html << control(controlTable.at(row)) << '\n';
    html << R"(</div>
<p id="status" role="status">Loading the calculator&hellip;<noscript> It needs JavaScript, which
this browser does not run here.</noscript></p>
<p id="announced" aria-live="polite"></p>
</main>
<dialog id="report" aria-labelledby="report-title" aria-describedby="report-text">
<h2 id="report-title">)"
         << escaped(formCaption) << R"(</h2>
<p id="report-text"></p>
<button type="button" id="report-ok">OK</button>
</dialog>
</body>
</html>
)";
    return html.str();
}

std::string layout() {
    const PixelRect client = clientRect();
    std::ostringstream css;
    css << "/* Written from the control table: positions in CSS pixels, twips / 15. */\n"
        << "#client { position: relative; width: " << client.width
        << "px; height: " << client.height << "px; background: " << rgb(windowColour) << "; }\n"
        << "#caption { width: " << client.width << "px; }\n";
    for (const ControlRow& row : controlTable) {
        const PixelRect box = pixelRect(row);
        // One id, so that the touch layout's rules (page.css) take precedence where they apply.
        css << "#" << row.name << " { left: " << box.left << "px; top: " << box.top
            << "px; width: " << box.width << "px; height: " << box.height << "px;";
        if (const auto colour = fixedBackground(row))
            css << " background: " << rgb(*colour) << "; color: " << rgb(textOnFixedColour) << ';';
        css << " }\n";
    }
    return css.str();
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-page <site folder>\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    if (!write(folder + "/index.html", page()) || !write(folder + "/layout.css", layout())) {
        std::fprintf(stderr, "make-page: cannot write into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}

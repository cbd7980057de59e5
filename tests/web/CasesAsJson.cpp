// Prints, as JSON for the browser tests, the cases every window's tests read
// (tests/support/WindowCases.h) and where the shared layout puts each control of the table.
#include "WindowCases.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/Layout.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

} // namespace

int main() {
    using namespace halvern;
    std::printf("{\"firstFocus\": %s, \"tabCycle\": [", quoted(testing::firstFocus).c_str());
    for (std::size_t i = 0; i < testing::tabCycle.size(); ++i)
        std::printf("%s%s", i == 0 ? "" : ", ", quoted(testing::tabCycle.at(i)).c_str());
    std::printf("],\n\"pressCases\": [");
    for (std::size_t i = 0; i < testing::pressCases.size(); ++i) {
        const auto& c = testing::pressCases.at(i);
        std::printf("%s{\"amount\": %s, \"gprice\": %s, \"fee\": %s}", i == 0 ? "" : ", ",
                    quoted(c.amount).c_str(), quoted(c.gprice).c_str(), quoted(c.fee).c_str());
    }
    std::printf("],\n\"errorCases\": [");
    for (std::size_t i = 0; i < testing::errorCases.size(); ++i) {
        const auto& c = testing::errorCases.at(i);
        std::printf(
            "%s{\"name\": %s, \"amount\": %s, \"gprice\": %s, \"words\": %s, \"focus\": %s}",
            i == 0 ? "" : ",\n  ", quoted(c.name).c_str(), quoted(c.amount).c_str(),
            quoted(c.gprice).c_str(), quoted(c.words).c_str(),
            c.focus == nullptr ? "null" : quoted(c.focus).c_str());
    }
    std::printf("],\n\"maxFieldLength\": %zu,\n\"controls\": [", ui::maxFieldLength);
    for (std::size_t i = 0; i < ui::controlTable.size(); ++i) {
        const ui::ControlRow& row = ui::controlTable.at(i);
        const ui::PixelRect box = ui::pixelRect(row);
        const auto colour = ui::fixedBackground(row);
        std::printf("%s{\"name\": %s, \"text\": %s, \"box\": [%d, %d, %d, %d], \"background\": %s}",
                    i == 0 ? "" : ",\n  ", quoted(row.name).c_str(), quoted(row.text).c_str(),
                    box.left, box.top, box.width, box.height,
                    colour ? std::to_string(*colour).c_str() : "null");
    }
    std::printf("]}\n");
    return 0;
}

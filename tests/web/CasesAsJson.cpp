// Prints, as JSON for the browser tests, the cases every window's tests read
// (tests/support/WindowCases.h).
#include "WindowCases.h"

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
    std::printf("{\"pressCases\": [");
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
    std::printf("]}\n");
    return 0;
}

// Prints, as JSON for the browser tests, the scenarios every window's tests run
// (tests/support/scenarios.tsv), read by the same reader as the desktop windows' tests.
#include "Scenarios.h"

#include <array>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            std::array<char, 8> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "\\u%04x", c);
            out += escaped.data();
        } else {
            out += c;
        }
    }
    return out + '"';
}

template <typename Items, typename Write>
std::string list(const Items& items, Write write) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? ", " : "") + write(item);
    return out + "]";
}

} // namespace

int main() {
    using halvern::testing::Scenario;
    using halvern::testing::Step;
    const std::string json = list(halvern::testing::scenarios(), [](const Scenario& scenario) {
        return "{\"name\": " + quoted(scenario.name) +
               ", \"windows\": " + quoted(scenario.windows) + ",\n  \"steps\": " +
               list(scenario.steps,
                    [](const Step& step) {
                        return "{\"verb\": " + quoted(step.verb) +
                               ", \"words\": " + list(step.words, quoted) +
                               ", \"text\": " + quoted(step.text) + "}";
                    }) +
               "}";
    });
    std::printf("{\"scenarios\": %s}\n", json.c_str());
    return 0;
}

#pragma once

#include "TablesText.h"

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace halvern::testing {

// The scenarios of scenarios.tsv: what a user does in the window and what they then see. Each
// window's tests run them through a driver of their toolkit (ScenarioDriver) with runScenario.

struct Step {
    std::string verb;
    std::vector<std::string> words; // the step's words before its text
    std::string text;               // the rest, escapes expanded
};

struct Scenario {
    std::string name;
    std::vector<std::string> windows; // "all", or some of "qt", "win32", "web"
    std::vector<Step> steps;

    bool runsIn(std::string_view window) const {
        return std::any_of(windows.begin(), windows.end(),
                           [&](const std::string& w) { return w == "all" || w == window; });
    }
};

// \r, \n, \t, \\ and \uXXXX (as UTF-8); {c*N} is N times the character c.
inline std::string expandText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{') {
            const std::size_t star = text.find('*', i), close = text.find('}', i);
            if (star != i + 2 || close == std::string_view::npos)
                throw std::runtime_error("scenarios.tsv: not {c*N}: " + std::string(text));
            out.append(std::stoul(std::string(text.substr(star + 1, close - star - 1))),
                       text[i + 1]);
            i = close;
        } else if (c == '\\' && i + 1 < text.size()) {
            const char e = text[++i];
            if (e == 'u') {
                const auto code = static_cast<std::uint32_t>(
                    std::stoul(std::string(text.substr(i + 1, 4)), nullptr, 16));
                i += 4;
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | (code >> 6));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else {
                    out += static_cast<char>(0xE0 | (code >> 12));
                    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                }
            } else {
                out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
            }
        } else {
            out += c;
        }
    }
    return out;
}

// How many words each verb has before its text; a verb with none takes no text either.
inline std::pair<std::size_t, bool> shapeOf(const std::string& verb) {
    static const std::vector<std::pair<std::string, std::pair<std::size_t, bool>>> shapes{
        {"set", {1, true}},    {"type", {1, true}},        {"click", {1, false}},
        {"key", {1, false}},   {"select", {2, false}},     {"paste", {1, true}},
        {"expect", {1, true}}, {"focus", {1, false}},      {"selected", {1, false}},
        {"report", {2, true}}, {"from-start", {1, false}},
    };
    for (const auto& [name, shape] : shapes) {
        if (name == verb)
            return shape;
    }
    throw std::runtime_error("scenarios.tsv: no step " + verb);
}

inline Step parseStep(std::string_view source) {
    while (!source.empty() && source.front() == ' ')
        source.remove_prefix(1);
    while (!source.empty() && source.back() == ' ')
        source.remove_suffix(1);
    Step step;
    const auto word = [&source] {
        const std::size_t end = std::min(source.find(' '), source.size());
        std::string taken(source.substr(0, end));
        source.remove_prefix(std::min(end + 1, source.size()));
        return taken;
    };
    step.verb = word();
    const auto [count, hasText] = shapeOf(step.verb);
    for (std::size_t i = 0; i < count; ++i)
        step.words.push_back(word());
    if (step.verb == "selected" && !source.empty())
        step.words.push_back(word());
    if (!hasText && !source.empty())
        throw std::runtime_error("scenarios.tsv: more than a " + step.verb + " takes");
    step.text = expandText(source);
    return step;
}

inline std::vector<Scenario> scenarios() {
    std::vector<Scenario> all;
    std::istringstream lines(scenariosText);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::string steps;
        if (line.rfind("\t\t", 0) == 0) {
            if (all.empty())
                throw std::runtime_error("scenarios.tsv: steps before any scenario");
            steps = line;
            steps.front() = ' '; // a separator then begins the steps
            steps.erase(1, 1);
        } else {
            const std::size_t first = line.find('\t'), second = line.find('\t', first + 1);
            if (second == std::string::npos)
                throw std::runtime_error("scenarios.tsv: not three columns in: " + line);
            Scenario scenario{line.substr(0, first), {}, {}};
            std::istringstream windows(line.substr(first + 1, second - first - 1));
            for (std::string window; windows >> window;)
                scenario.windows.push_back(window);
            all.push_back(scenario);
            steps = line.substr(second + 1);
        }
        const std::string_view separator = " \xC2\xB7 "; // " · "
        std::string_view rest = steps;
        while (!rest.empty()) {
            const std::size_t end = std::min(rest.find(separator), rest.size());
            if (end > 0 && rest.substr(0, end).find_first_not_of(' ') != std::string_view::npos)
                all.back().steps.push_back(parseStep(rest.substr(0, end)));
            rest.remove_prefix(std::min(end + separator.size(), rest.size()));
        }
    }
    return all;
}

// A report as the user saw it, once closed.
struct SeenReport {
    std::string kind; // error or warning, by the icon shown
    std::string words;
};

// What a window's tests supply: the user's acts and what the user sees, in its toolkit.
class ScenarioDriver {
public:
    ScenarioDriver() = default;
    ScenarioDriver(const ScenarioDriver&) = delete;
    ScenarioDriver& operator=(const ScenarioDriver&) = delete;
    ScenarioDriver(ScenarioDriver&&) = delete;
    ScenarioDriver& operator=(ScenarioDriver&&) = delete;
    virtual ~ScenarioDriver() = default;

    // A desktop report is modal and holds the act that showed it: the user closes it with this
    // key as soon as it is up, and the driver keeps what it showed for reports().
    virtual void closeReportsWith(const std::string& key) = 0;
    virtual void set(const std::string& name, const std::string& text) = 0;
    virtual void type(const std::string& name, const std::string& text) = 0;
    virtual void click(const std::string& name) = 0;
    virtual void key(const std::string& key) = 0;
    virtual void select(int from, int to) = 0;
    virtual void paste(const std::string& route, const std::string& text) = 0;

    virtual std::string text(const std::string& name) = 0;
    virtual std::string focused() = 0;
    virtual std::pair<int, int> selection() = 0;     // of the focused field
    virtual int length(const std::string& name) = 0; // in characters
    virtual bool showsFromStart(const std::string& name) = 0;
    virtual std::vector<SeenReport> reports() = 0; // those shown since last asked
};

// Long texts would bury the failure.
inline std::string shortened(const std::string& text) {
    return text.size() <= 60
               ? text
               : text.substr(0, 30) + "...(" + std::to_string(text.size()) + " bytes)";
}

// Runs one scenario; returns what differed from it, one line each.
inline std::vector<std::string> runScenario(const Scenario& scenario, ScenarioDriver& driver) {
    std::vector<std::string> failures;
    const auto fail = [&](const Step& step, const std::string& what) {
        failures.push_back(step.verb + " " + (step.words.empty() ? "" : step.words[0]) + ": " +
                           what);
    };
    std::vector<SeenReport> unclaimed;
    const auto take = [&] {
        for (SeenReport& seen : driver.reports())
            unclaimed.push_back(std::move(seen));
    };
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        const Step* next = i + 1 < scenario.steps.size() ? &scenario.steps[i + 1] : nullptr;
        driver.closeReportsWith(next != nullptr && next->verb == "report" ? next->words[1]
                                                                          : "Enter");
        const std::string& name = step.words.empty() ? step.text : step.words[0];
        if (step.verb == "set") {
            driver.set(name, step.text);
        } else if (step.verb == "type") {
            driver.type(name, step.text);
        } else if (step.verb == "click") {
            driver.click(name);
        } else if (step.verb == "key") {
            driver.key(name);
        } else if (step.verb == "select") {
            driver.select(std::stoi(step.words[0]), std::stoi(step.words[1]));
        } else if (step.verb == "paste") {
            driver.paste(name, step.text);
        } else if (step.verb == "expect") {
            const std::string shown = driver.text(name);
            if (shown != step.text)
                fail(step,
                     "holds \"" + shortened(shown) + "\", not \"" + shortened(step.text) + "\"");
        } else if (step.verb == "focus") {
            if (driver.focused() != name)
                fail(step, "the focus is on " + driver.focused());
        } else if (step.verb == "selected") {
            const std::string field = driver.focused();
            const std::pair<int, int> expected =
                name == "all" ? std::pair{0, driver.length(field)}
                              : std::pair{std::stoi(step.words[0]), std::stoi(step.words[1])};
            const auto [from, to] = driver.selection();
            if (std::pair{from, to} != expected)
                fail(step, field + " has " + std::to_string(from) + " to " + std::to_string(to) +
                               " selected");
        } else if (step.verb == "report") {
            take();
            if (unclaimed.empty()) {
                fail(step, "no report showed");
                continue;
            }
            const SeenReport seen = unclaimed.front();
            unclaimed.erase(unclaimed.begin());
            if (seen.kind != name)
                fail(step, "the report is an " + seen.kind);
            if (seen.words.find(step.text) == std::string::npos)
                fail(step, "the report says \"" + shortened(seen.words) + "\"");
        } else if (step.verb == "from-start") {
            if (!driver.showsFromStart(name))
                fail(step, "shows its text from elsewhere");
        }
        if (step.verb != "report" && (next == nullptr || next->verb != "report")) {
            take();
            for (const SeenReport& seen : unclaimed)
                fail(step, "a report nobody expected: " + shortened(seen.words));
            unclaimed.clear();
        }
    }
    return failures;
}

} // namespace halvern::testing

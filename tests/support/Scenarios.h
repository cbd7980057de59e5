#pragma once

#include <string>
#include <utility>
#include <vector>

namespace halvern::testing {

// The scenarios of scenarios.tsv: what a user does in the window and what they then see, each
// planned by tables.py as plain acts and checks (its plan). Each window's tests perform them
// through a driver of their toolkit (ScenarioDriver) with runScenario; the browser tests perform
// the same plans in the page.

struct Step {
    std::string verb;               // an act or a check of the plan
    std::vector<std::string> words; // its words before its text
    std::string text;               // the rest, its escapes expanded
};

struct Scenario {
    std::string name;
    std::string windows;     // "all", or some of "qt", "win32", "web"
    std::string locales;     // some of "en-US", "de-DE"
    std::vector<Step> steps; // its plan

    // Whether it runs in the window's tests run in the locale ("de-DE").
    bool runsIn(const std::string& window, const std::string& locale) const {
        const auto among = [](const std::string& list, const std::string& word) {
            return (" " + list + " ").find(" " + word + " ") != std::string::npos;
        };
        return (windows == "all" || among(windows, window)) && among(locales, locale);
    }
};

// The locales the scenarios run in; a test run in another finds no scenario to run.
inline bool isScenarioLocale(const std::string& locale) {
    return locale == "en-US" || locale == "de-DE";
}

// The scenarios of scenarios.tsv, as tables.py reads them.
inline const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> all{
#include "scenarios.inc"
    };
    return all;
}

// A report as the user saw it.
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
    virtual void compose(const std::string& text) = 0;

    virtual std::string text(const std::string& name) = 0;
    virtual std::string focused() = 0;
    virtual std::pair<int, int> selection() = 0;     // of the focused field
    virtual int length(const std::string& name) = 0; // in UTF-16 units
    virtual bool showsFromStart(const std::string& name) = 0;
    virtual std::vector<SeenReport> reports() = 0; // those shown since last asked
};

// Performs one scenario's plan and reads what it checks; returns what differed, one line each.
inline std::vector<std::string> runScenario(const Scenario& scenario, ScenarioDriver& driver) {
    std::vector<std::string> failures;
    const auto shortened = [](const std::string& text) {
        return text.size() <= 60
                   ? text
                   : text.substr(0, 30) + "... (" + std::to_string(text.size()) + " bytes)";
    };
    std::vector<SeenReport> shown;
    for (const Step& step : scenario.steps) {
        const std::string& verb = step.verb;
        const std::string first = step.words.empty() ? "" : step.words.front();
        const auto fail = [&](const std::string& what) {
            failures.push_back(verb);
            failures.back().append(" ").append(first).append(": ").append(what);
        };
        if (verb == "close") {
            driver.closeReportsWith(first);
        } else if (verb == "set" || verb == "type" || verb == "paste") {
            (driver.*(verb == "set"    ? &ScenarioDriver::set
                      : verb == "type" ? &ScenarioDriver::type
                                       : &ScenarioDriver::paste))(first, step.text);
        } else if (verb == "click") {
            driver.click(first);
        } else if (verb == "key") {
            driver.key(first);
        } else if (verb == "compose") {
            driver.compose(step.text);
        } else if (verb == "select") {
            driver.select(std::stoi(first), std::stoi(step.words.at(1)));
        } else if (verb == "expect" && driver.text(first) != step.text) {
            fail("holds \"" + shortened(driver.text(first)) + "\", not \"" + shortened(step.text) +
                 "\"");
        } else if (verb == "focus" && driver.focused() != first) {
            fail("the focus is on " + driver.focused());
        } else if (verb == "selected") {
            const std::string& to = step.words.at(1);
            const std::pair expected{std::stoi(first),
                                     to == "end" ? driver.length(driver.focused()) : std::stoi(to)};
            if (driver.selection() != expected)
                fail(driver.focused() + " has " + std::to_string(driver.selection().first) +
                     " to " + std::to_string(driver.selection().second) + " selected");
        } else if (verb == "report" || verb == "no-report") {
            for (SeenReport& seen : driver.reports())
                shown.push_back(std::move(seen));
            if (verb == "report" && shown.empty()) {
                fail("no report showed");
            } else if (verb == "report") {
                if (shown.front().kind != first ||
                    shown.front().words.find(step.text) == std::string::npos)
                    fail("the report is an " + shown.front().kind + " saying \"" +
                         shortened(shown.front().words) + "\"");
                shown.erase(shown.begin());
            }
            for (; verb == "no-report" && !shown.empty(); shown.erase(shown.begin()))
                fail("a report nobody expected: " + shortened(shown.front().words));
        } else if (verb == "from-start" && !driver.showsFromStart(first)) {
            fail("shows its text from elsewhere");
        }
    }
    return failures;
}

} // namespace halvern::testing

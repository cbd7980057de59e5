#pragma once

#include <string>
#include <utility>
#include <vector>

namespace halvern::testing {

// The scenarios of scenarios.tsv: what a user does in the window and what they then see. Each
// window's tests run them through a driver of their toolkit (ScenarioDriver) with runScenario;
// the browser tests read the same table through tables.py and play it in the page.

struct Step {
    std::string verb;
    std::vector<std::string> words; // the step's words before its text
    std::string text;               // the rest, its escapes expanded
};

struct Scenario {
    std::string name;
    std::string windows; // "all", or some of "qt", "win32", "web"
    std::string locales; // some of "en-US", "de-DE"
    std::vector<Step> steps;

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

    virtual std::string text(const std::string& name) = 0;
    virtual std::string focused() = 0;
    virtual std::pair<int, int> selection() = 0;     // of the focused field
    virtual int length(const std::string& name) = 0; // in characters
    virtual bool showsFromStart(const std::string& name) = 0;
    virtual std::vector<SeenReport> reports() = 0; // those shown since last asked
};

// Runs one scenario; returns what differed from it, one line each.
inline std::vector<std::string> runScenario(const Scenario& scenario, ScenarioDriver& driver) {
    std::vector<std::string> failures;
    const auto shortened = [](const std::string& text) {
        return text.size() <= 60
                   ? text
                   : text.substr(0, 30) + "... (" + std::to_string(text.size()) + " bytes)";
    };
    std::vector<SeenReport> shown;
    for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
        const Step& step = scenario.steps[i];
        const bool reportNext =
            i + 1 < scenario.steps.size() && scenario.steps[i + 1].verb == "report";
        const auto fail = [&](const std::string& what) {
            failures.push_back(step.verb + " " + step.words.at(0) + ": " + what);
        };
        driver.closeReportsWith(reportNext ? scenario.steps[i + 1].words.at(1) : "Enter");
        const std::string& name = step.words.at(0);
        if (step.verb == "set" || step.verb == "type" || step.verb == "paste") {
            (driver.*(step.verb == "set"    ? &ScenarioDriver::set
                      : step.verb == "type" ? &ScenarioDriver::type
                                            : &ScenarioDriver::paste))(name, step.text);
        } else if (step.verb == "click") {
            driver.click(name);
        } else if (step.verb == "key") {
            driver.key(name);
        } else if (step.verb == "select") {
            driver.select(std::stoi(name), std::stoi(step.words.at(1)));
        } else if (step.verb == "expect" && driver.text(name) != step.text) {
            fail("holds \"" + shortened(driver.text(name)) + "\", not \"" + shortened(step.text) +
                 "\"");
        } else if (step.verb == "focus" && driver.focused() != name) {
            fail("the focus is on " + driver.focused());
        } else if (step.verb == "selected") {
            const int length = driver.length(driver.focused());
            const auto expected = name == "all"
                                      ? std::pair{0, length}
                                      : std::pair{std::stoi(name), std::stoi(step.words.at(1))};
            if (driver.selection() != expected)
                fail(driver.focused() + " has " + std::to_string(driver.selection().first) +
                     " to " + std::to_string(driver.selection().second) + " selected");
        } else if (step.verb == "report") {
            if (shown.empty())
                fail("no report showed");
            else if (shown.front().kind != name ||
                     shown.front().words.find(step.text) == std::string::npos)
                fail("the report is an " + shown.front().kind + " saying \"" +
                     shortened(shown.front().words) + "\"");
            if (!shown.empty())
                shown.erase(shown.begin());
        } else if (step.verb == "from-start" && !driver.showsFromStart(name)) {
            fail("shows its text from elsewhere");
        }
        for (SeenReport& seen : driver.reports())
            shown.push_back(std::move(seen));
        for (; !reportNext && !shown.empty(); shown.erase(shown.begin()))
            fail("a report nobody expected: " + shortened(shown.front().words));
    }
    return failures;
}

} // namespace halvern::testing

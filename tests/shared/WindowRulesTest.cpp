#include "ui/shared/WindowRules.h"

#include "ui/shared/FieldEdits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using halvern::Field;
using halvern::fieldName;
using namespace halvern::ui;

// A window reduced to what a refusal asks of it, recording each call in order.
class RecordingWindow final : public WindowPort {
public:
    std::string text(Field /*field*/) const override { return {}; }
    void setText(Field /*field*/, const std::string& /*text*/) override {
        ADD_FAILURE() << "a refusal writes no field";
    }

    void report(const Report& report) override {
        if (report.alert)
            calls.emplace_back("alert");
        calls.push_back(std::string(report.severity == Severity::error ? "error: " : "warning: ") +
                        report.words);
        if (report.field)
            calls.push_back(std::string("focus ") + std::string(fieldName(*report.field)) +
                            (report.selectField ? " selected" : ""));
    }

    std::vector<std::string> calls;
};

TEST(WindowRules, ARefusedEditAlertsTellsAndGoesBackUnselected) {
    RecordingWindow pasted;
    refuseLongText(pasted, Field::gprice, 123'456);
    EXPECT_EQ(
        pasted.calls,
        (std::vector<std::string>{
            "alert", "warning: Not pasted: 123,456 characters is more than a field holds (4,000).",
            "focus gprice"}));
    RecordingWindow typed;
    refuseTyping(typed, Field::amount);
    EXPECT_EQ(typed.calls,
              (std::vector<std::string>{
                  "alert", "warning: Not typed: a field holds at most 4,000 characters.",
                  "focus amount"}));
}

} // namespace

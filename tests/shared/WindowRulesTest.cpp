#include "ui/shared/WindowRules.h"

#include "ui/shared/FieldEdits.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using halvern::Field;
using halvern::fieldName;
using namespace halvern::ui;

// A window reduced to what the shared rules ask of it, recording each call in order.
class RecordingWindow final : public WindowPort {
public:
    RecordingWindow(std::string amountText, std::string gpriceText)
        : m_amount(std::move(amountText))
        , m_gprice(std::move(gpriceText)) {}

    std::string text(Field field) const override {
        return field == Field::amount ? m_amount : field == Field::gprice ? m_gprice : m_fee;
    }
    void setText(Field field, const std::string& text) override {
        ASSERT_EQ(field, Field::fee) << "a press writes only the fee";
        m_fee = text;
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
    std::string m_fee = "old";

private:
    std::string m_amount, m_gprice;
};

TEST(WindowRules, ARefusedEditAlertsTellsAndGoesBackUnselected) {
    RecordingWindow pasted("1", "550");
    refuseLongText(pasted, Field::gprice, 123'456);
    EXPECT_EQ(
        pasted.calls,
        (std::vector<std::string>{
            "alert", "warning: Not pasted: 123,456 characters is more than a field holds (4,000).",
            "focus gprice"}));
    RecordingWindow typed("1", "550");
    refuseTyping(typed, Field::amount);
    EXPECT_EQ(typed.calls,
              (std::vector<std::string>{
                  "alert", "warning: Not typed: a field holds at most 4,000 characters.",
                  "focus amount"}));
}

} // namespace

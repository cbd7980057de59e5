#include "ui/shared/WindowRules.h"

#include "WindowCases.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/Layout.h"

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

    void showMessage(Severity severity, const std::string& text) override {
        calls.push_back(std::string(severity == Severity::error ? "error: " : "warning: ") + text);
    }
    void focusField(Field field, bool selectAll) override {
        calls.push_back(std::string("focus ") + std::string(fieldName(field)) +
                        (selectAll ? " selected" : ""));
    }
    void alert() override { calls.emplace_back("alert"); }

    std::vector<std::string> calls;
    std::string m_fee = "old";

private:
    std::string m_amount, m_gprice;
};

TEST(WindowRules, APressShowsNothingButItsFee) {
    for (const auto& c : halvern::testing::pressCases) {
        RecordingWindow window(c.amount, c.gprice);
        pressButton(window);
        EXPECT_EQ(window.m_fee, c.fee) << c.amount << " at " << c.gprice;
        EXPECT_TRUE(window.calls.empty());
    }
}

// The report first, then the focus on the field to blame with its text selected; the fee as
// it was.
TEST(WindowRules, AnErrorIsReportedThenItsFieldFocused) {
    for (const auto& c : halvern::testing::errorCases) {
        SCOPED_TRACE(c.name);
        RecordingWindow window(c.amount, c.gprice);
        pressButton(window);
        ASSERT_FALSE(window.calls.empty());
        EXPECT_EQ(window.calls[0].rfind("error: ", 0), 0U) << window.calls[0];
        EXPECT_NE(window.calls[0].find(c.words), std::string::npos) << window.calls[0];
        const std::vector<std::string> focus(window.calls.begin() + 1, window.calls.end());
        if (c.focus == nullptr)
            EXPECT_TRUE(focus.empty());
        else
            EXPECT_EQ(focus,
                      std::vector<std::string>{std::string("focus ") + c.focus + " selected"});
        EXPECT_EQ(window.m_fee, "old");
    }
}

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

// The table's pixel column at 96 dots per inch, and the client area of 312 x 213.
TEST(Layout, PixelsAtNinetySixDotsPerInch) {
    struct Case {
        const char* name = nullptr;
        PixelRect pixels;
    };
    const Case cases[] = {
        {"fee", {200, 136, 89, 19}},     {"gprice", {200, 80, 89, 19}},
        {"Command1", {32, 136, 89, 17}}, {"amount", {200, 56, 89, 19}},
        {"Label5", {2, 0, 87, 13}},      {"Label4", {8, 192, 281, 17}},
        {"Image1", {192, 0, 105, 45}},   {"Label3", {168, 139, 28, 13}},
        {"Label2", {104, 82, 89, 17}},   {"Label1", {72, 59, 121, 17}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pixelRect(controlTable.at(rowOf(c.name))), c.pixels) << c.name;
    EXPECT_EQ(clientRect(), (PixelRect{0, 0, 312, 213}));
    // At twice the density every figure doubles, to within the rounding of half pixels.
    EXPECT_EQ(pixelRect(controlTable.at(rowOf("Image1")), 192), (PixelRect{384, 0, 210, 90}));
    EXPECT_EQ(clientRect(144), (PixelRect{0, 0, 468, 320}));
}

TEST(Layout, TabGoesRoundTheFieldsAndTheButtonOnly) {
    std::vector<std::string> names;
    names.reserve(tabChain.size());
    for (const std::size_t row : tabChain)
        names.emplace_back(controlTable.at(row).name);
    EXPECT_EQ(names, (std::vector<std::string>{"amount", "Command1", "gprice", "fee"}));
    EXPECT_EQ(names.front(), halvern::testing::firstFocus);
}

TEST(Layout, FixedBackgroundsAreTheWindowsAndTheFeesGrey) {
    for (const ControlRow& row : controlTable) {
        SCOPED_TRACE(row.name);
        const std::string name = row.name;
        if (name == "fee")
            EXPECT_EQ(fixedBackground(row), 0x00C0C0C0U);
        else if (name.rfind("Label", 0) == 0)
            EXPECT_EQ(fixedBackground(row), 0x0000C0C0U);
        else
            EXPECT_EQ(fixedBackground(row), std::nullopt);
    }
}

TEST(FieldEdits, AFieldTakesAnEditUpToItsBoundAndNoFurther) {
    ASSERT_EQ(maxFieldLength, 4'000U);
    struct Case {
        std::size_t length, replaced, inserted;
        bool fits;
    };
    const Case cases[] = {
        {0, 0, 4'000, true},
        {0, 0, 4'001, false},
        {3'999, 0, 1, true},
        {4'000, 0, 1, false},
        {4'000, 1, 1, true},
        {4'000, 4'000, 4'000, true},
        {2'000, 10, 2'011, false},
        {10, 20, 4'000, true}, // replacing more than there is
        {0, 0, static_cast<std::size_t>(-1), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fitsField(c.length, c.replaced, c.inserted), c.fits)
            << c.length << " - " << c.replaced << " + " << c.inserted;
}

TEST(FieldEdits, APasteLeavesItsTrailingLineBreaksBehind) {
    struct Case {
        std::u16string_view pasted;
        std::size_t taken;
    };
    const Case cases[] = {
        {u"100", 3},    {u"100\n", 3},     {u"100\r\n", 3}, {u"100\r", 3}, {u"100\r\n\r\n\n", 3},
        {u"1\r\n2", 4}, {u"1\n2\n", 3},    {u"\r\n", 0},    {u"", 0},      {u"\n100", 4},
        {u"100 \n", 4}, {u"100\u2028", 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pastedLength(c.pasted), c.taken) << c.pasted.size();
}

} // namespace

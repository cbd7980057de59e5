#include "ui/shared/WindowRules.h"

#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/Layout.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using halvern::Field;
using halvern::fieldName;
using namespace halvern::ui;

// Boxes in twips, at the densities desktops use, worked out by hand: 15 twips make a pixel at
// 96 dpi, 12 at 120 and 7.5 at 192; where a box falls between two pixels, the nearer.
TEST(Layout, TwipsBecomeTheNearestPixel) {
    struct Case {
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {1335, 96, 89},  // a field's width, a whole number of pixels
        {7, 96, 0},      // 0.47 px
        {8, 96, 1},      // 0.53 px
        {285, 120, 24},  // a field's height at 125 %: 23.75 px
        {890, 192, 119}, // a caption's top at 200 %: 118.67 px
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.twips << " twips at " << c.dpi << " dpi");
        EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels);
    }
}

// A name the table lacks (a typo in a caller) finds no control, rather than the first one.
TEST(ControlTable, ANameItLacksFindsNoRow) {
    EXPECT_EQ(rowOf("Label6"), controlTable.size());
}

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

// A refused press says why in a box of its own, whose sound is the only one: no alert besides.
TEST(WindowRules, ARefusedPressTellsAndSelectsTheField) {
    RecordingWindow empty; // every field empty: the amount is read first
    pressButton(empty);
    EXPECT_EQ(empty.calls, (std::vector<std::string>{"error: The amount is empty.\n\nPlease type "
                                                     "a number, for example 1250.50.",
                                                     "focus amount selected"}));
}

TEST(WindowRules, ARefusedEditAlertsTellsAndGoesBackUnselected) {
    RecordingWindow pasted;
    refuseLongText(pasted, Field::gprice, 123'456, 123'456);
    EXPECT_EQ(
        pasted.calls,
        (std::vector<std::string>{
            "alert", "warning: Not pasted: 123,456 characters is more than a field holds (4,000).",
            "focus gprice"}));
    // A paste shorter than the bound, refused for the text already there: both are named.
    RecordingWindow besides;
    refuseLongText(besides, Field::amount, 3'995, 4'005);
    EXPECT_EQ(besides.calls.at(1), "warning: Not pasted: 3,995 characters beside the 10 already "
                                   "there make 4,005, more than a field holds (4,000).");
    RecordingWindow typed;
    refuseTyping(typed, Field::amount);
    EXPECT_EQ(typed.calls,
              (std::vector<std::string>{
                  "alert", "warning: Not typed: a field holds at most 4,000 characters.",
                  "focus amount"}));
}

} // namespace

// A typed comma is the decimal point only where it is the person's decimal mark, and only while
// the field holds no point; the keypad's decimal key is the point whatever its character.
TEST(FieldEdits, ACommaIsThePointOnlyWhereItIsOne) {
    struct Case {
        const char* name;
        std::u16string_view kept;
        char16_t typed;
        bool keypad;
        char16_t mark;
        char16_t given;
    };
    const Case cases[] = {
        {"a comma where a point is the mark", u"1", u',', false, u'.', u','},
        {"a comma where a comma is the mark", u"10", u',', false, u',', u'.'},
        {"a comma after a point, comma locale", u"1.5", u',', false, u',', u','},
        {"a comma where the mark is unknown", u"", u',', false, 0, u','},
        {"the keypad's comma, point locale", u"10", u',', true, u'.', u'.'},
        {"the keypad's comma after a point", u".5", u',', true, u',', u','},
        {"the keypad's point", u"", u'.', true, u'.', u'.'},
        {"another character of the keypad's key", u"1", u'\u066B', true, u'.', u'.'},
        {"a point typed", u"1", u'.', false, u',', u'.'},
        {"a digit, comma locale", u"", u'5', false, u',', u'5'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(typedCharacter({c.typed, c.keypad, c.mark}, c.kept), c.given);
    }
}

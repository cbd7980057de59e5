// The calculator as a web page: the same calculation and the same shared rules, with the page's
// fields, dialog and fonts as the toolkit. The page's script (app.js) calls the functions below
// for a press, an edit and the fitting of the fonts; they call back into the page through the
// page's own small interface, `halvernPage`, for what only the page can do.
#include "calc/Errors.h"
#include "ui/shared/CaptionFit.h"
#include "ui/shared/ControlTable.h"
#include "ui/shared/FieldEdits.h"
#include "ui/shared/WindowRules.h"

#include <cstdlib>
#include <emscripten.h>
#include <memory>
#include <string>
#include <string_view>

namespace {

using halvern::Field;
using halvern::fieldName;
using namespace halvern::ui;

// NOLINTBEGIN: the bodies are JavaScript, run in the page.
// clang-format off
EM_JS(char*, pageText, (const char* field), {
    return allocateUTF8(halvernPage.text(UTF8ToString(field)));
});
EM_JS(void, pageSetText, (const char* field, const char* text), {
    halvernPage.setText(UTF8ToString(field), UTF8ToString(text));
});
EM_JS(void, pageReport, (int isError, const char* words, const char* field, int selectField), {
    halvernPage.report(isError !== 0, UTF8ToString(words), UTF8ToString(field), selectField !== 0);
});
EM_JS(void, pageInsert, (const char* field, const char16_t* text), {
    halvernPage.insert(UTF8ToString(field), UTF16ToString(text));
});
EM_JS(int, pageMeasureWidth, (int size, const char* text), {
    return halvernPage.measure(size, UTF8ToString(text)).width;
});
EM_JS(int, pageMeasureHeight, (int size), {
    return halvernPage.measure(size, "").height;
});
EM_JS(void, pageSetFontSizes, (int captions, int fields, int button), {
    halvernPage.setFontSizes(captions, fields, button);
});
// clang-format on
// NOLINTEND

std::string nameOf(Field field) {
    return std::string(fieldName(field));
}

// The page's three fields as the calculation's form, and the page's dialog for the reports.
class WebWindow final : public WindowPort {
public:
    std::string text(Field field) const override {
        const std::unique_ptr<char, decltype(&std::free)> text(pageText(nameOf(field).c_str()),
                                                               &std::free);
        return text.get();
    }
    void setText(Field field, const std::string& text) override {
        pageSetText(nameOf(field).c_str(), text.c_str());
    }
    // The dialog is modal to the user but not to this code: the page opens it and returns, and
    // gives the report's field the focus once it has closed. A page has no alert sound of the
    // desktop's to play; the dialog says it all.
    void report(const Report& report) override {
        pageReport(report.severity == Severity::error ? 1 : 0, report.words.c_str(),
                   report.field ? nameOf(*report.field).c_str() : "", report.selectField ? 1 : 0);
    }
};

WebWindow& window() {
    static WebWindow page;
    return page;
}

Field fieldAt(int index) {
    return fieldTable.at(static_cast<std::size_t>(index)).field;
}

std::size_t count(int value) {
    return value < 0 ? 0 : static_cast<std::size_t>(value);
}

} // namespace

extern "C" {

// "Calculate fee" pressed.
EMSCRIPTEN_KEEPALIVE void halvern_press() {
    pressButton(window());
}

// A paste of `length` UTF-16 units into field `index` (its place in the field table), whose text
// is `fieldLength` long with `selected` of it selected: the page puts in what a paste puts in
// every window, or the paste is refused whole and the user told. Where that is the text as it
// came, the browser's own paste puts it in (1): a page that takes every paste itself reads to
// the browser as one that prevents pasting.
EMSCRIPTEN_KEEPALIVE int halvern_paste(int index, const char16_t* text, int length, int fieldLength,
                                       int selected) {
    const std::u16string_view pasted(text, count(length));
    const std::size_t taken = pastedLength(pasted);
    if (!fitsField(count(fieldLength), count(selected), taken)) {
        refuseLongText(window(), fieldAt(index), taken,
                       lengthAfter(count(fieldLength), count(selected), taken));
        return 0;
    }
    const std::u16string kept = pastedText(pasted);
    if (kept == pasted)
        return 1;
    pageInsert(nameOf(fieldAt(index)).c_str(), kept.c_str());
    return 0;
}

// A drop of `inserted` characters, or typing of them where `typed` is set: whether the field
// takes them; where not, the user is told.
EMSCRIPTEN_KEEPALIVE int halvern_edit(int index, int fieldLength, int selected, int inserted,
                                      int typed) {
    if (fitsField(count(fieldLength), count(selected), count(inserted)))
        return 1;
    if (typed != 0)
        refuseTyping(window(), fieldAt(index));
    else
        refuseLongText(window(), fieldAt(index), count(inserted),
                       lengthAfter(count(fieldLength), count(selected), count(inserted)));
    return 0;
}

// The character a key that types `typed` puts into a field whose text outside the selection is
// `kept` (`length` UTF-16 units): `keypad` where the key is the keypad's decimal key, and
// `decimalMark` the decimal mark of the language the person writes in.
EMSCRIPTEN_KEEPALIVE int halvern_typed(int typed, int keypad, int decimalMark, const char16_t* kept,
                                       int length) {
    return typedCharacter(
        {static_cast<char16_t>(typed), keypad != 0, static_cast<char16_t>(decimalMark)},
        std::u16string_view(kept, count(length)));
}

// Gives the captions, the fields and the button their pixel sizes for a page whose font is
// `desktopPixels` large.
EMSCRIPTEN_KEEPALIVE void halvern_fit_fonts(int desktopPixels, int fieldFrame, int buttonAcross,
                                            int buttonDown) {
    const FontSizes sizes =
        fitFontSizes(desktopPixels, 96, Frames{fieldFrame, buttonAcross, buttonDown},
                     [](FontGroup, int size, std::string_view text) {
                         return Extent{pageMeasureWidth(size, std::string(text).c_str()),
                                       pageMeasureHeight(size)};
                     });
    pageSetFontSizes(sizes.captions, sizes.fields, sizes.button);
}

} // extern "C"

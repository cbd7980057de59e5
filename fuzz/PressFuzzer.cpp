// A whole press on three arbitrary field texts (amount, gold price, fee), of any length, with
// control characters and invalid UTF-8. Checks the outcome, not just survival: a press raises one
// of its documented errors and leaves the fee as the press rules say, or it leaves a fee text that
// reads back as a number of at least one cent.
#include "calc/Errors.h"
#include "calc/FeeCalculation.h"
#include "calc/NumberText.h"
#include "calc/TextForm.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

using halvern::Field;

[[noreturn]] void fault(const char* what, const halvern::TextForm& form) {
    std::fprintf(stderr, "%s\n  amount \"%s\"\n  gprice \"%s\"\n  fee    \"%s\"\n", what,
                 form.amountText.c_str(), form.gpriceText.c_str(), form.feeText.c_str());
    std::abort();
}

// A text the press wrote: it reads back, and writing what it reads gives the text again.
bool writtenByThePress(const std::string& text) {
    try {
        return halvern::numberToText(halvern::textToNumber(text, Field::fee)) == text;
    } catch (const halvern::Error&) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    std::string amount = input.ConsumeRandomLengthString();
    std::string gprice = input.ConsumeRandomLengthString();
    const std::string feeBefore = input.ConsumeRemainingBytesAsString();
    halvern::TextForm form(std::move(amount), std::move(gprice), feeBefore);

    try {
        halvern::Command1_Click(form);
    } catch (const halvern::ConversionError& error) {
        if (error.field() == Field::fee)
            fault("the press could not read its own fee text", form);
        if (form.feeText != feeBefore)
            fault("a conversion error changed the fee", form);
        return 0;
    } catch (const halvern::FloatingPointError&) {
        // Before the first write the fee is untouched; after it, it holds what was written.
        if (form.feeText != feeBefore && !writtenByThePress(form.feeText))
            fault("a floating-point error left a fee the press did not write", form);
        return 0;
    } catch (...) {
        fault("an undocumented exception", form);
    }

    if (!writtenByThePress(form.feeText))
        fault("the fee does not read back", form);
    if (halvern::textToNumber(form.feeText, Field::fee) < 0.01)
        fault("the fee is below one cent", form);
    return 0;
}

// Any text into the text-to-number conversion. Checks that it either raises one of its two
// documented errors or returns a finite number; that it accepts exactly the plain decimal grammar;
// that it agrees bit for bit with the C library's strtod in the C locale; and that the number's
// text reads back as itself.
#include "calc/Errors.h"
#include "calc/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

namespace {

[[noreturn]] void fault(const char* what, const std::string& text) {
    std::fprintf(stderr, "%s: \"%s\"\n", what, text.c_str());
    std::abort();
}

// The grammar, said a second way. std::regex recurses per character, so only short texts.
bool plainDecimal(const std::string& text) {
    static const std::regex grammar(
        R"([ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*)");
    return std::regex_match(text, grammar);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    double value = 0.0;
    bool accepted = true;
    try {
        value = halvern::textToNumber(text, halvern::Field::amount);
    } catch (const halvern::ConversionError& error) {
        if (error.text() != text)
            fault("the error does not carry the text", text);
        accepted = false;
    } catch (const halvern::FloatingPointError& error) {
        if (error.kind() != halvern::FloatingPointError::Kind::overflow)
            fault("reading raised a floating-point error other than overflow", text);
        return 0;
    }

    if (size <= 256 && accepted != plainDecimal(text))
        fault(accepted ? "accepted outside the grammar" : "rejected a plain decimal", text);
    if (!accepted)
        return 0;
    if (!std::isfinite(value))
        fault("read as a number that is not finite", text);

    // strtod reads the same grammar (and more); where it does not overflow it must agree.
    const std::string cString = text.substr(0, text.find('\0'));
    errno = 0;
    const double expected = std::strtod(cString.c_str(), nullptr);
    if (!std::isinf(expected) && std::memcmp(&expected, &value, sizeof value) != 0 &&
        !(expected == 0.0 && value == 0.0))
        fault("disagrees with strtod", text);

    const std::string written = halvern::numberToText(value);
    if (halvern::numberToText(halvern::textToNumber(written, halvern::Field::fee)) != written)
        fault("a written number does not read back", written);
    return 0;
}

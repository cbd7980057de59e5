#pragma once

#include "calc/Form.h"

#include <string>
#include <utility>

namespace halvern {

// A form that is three plain strings: the calculation with no window, as tests, benchmarks and
// fuzzers call it.
class TextForm : public Form {
public:
    TextForm(std::string amount, std::string gprice, std::string fee = {})
        : amountText(std::move(amount))
        , gpriceText(std::move(gprice))
        , feeText(std::move(fee)) {}

    std::string amount() const override { return amountText; }
    std::string gprice() const override { return gpriceText; }
    std::string fee() const override { return feeText; }
    void setFee(const std::string& text) override { feeText = text; }

    std::string amountText;
    std::string gpriceText;
    std::string feeText;
};

} // namespace halvern

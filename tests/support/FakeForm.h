#pragma once

#include "calc/Form.h"

#include <string>
#include <utility>
#include <vector>

namespace halvern::testing {

// Three plain strings behind the form interface, for tests, benchmarks and fuzzers. Given a log,
// it records every call ("get gprice", "set fee") so the order of field access can be checked.
class FakeForm : public Form {
public:
    FakeForm(std::string amount, std::string gprice, std::string fee = {})
        : amountText(std::move(amount))
        , gpriceText(std::move(gprice))
        , feeText(std::move(fee)) {}

    std::string amount() const override { return record("get amount", amountText); }
    std::string gprice() const override { return record("get gprice", gpriceText); }
    std::string fee() const override { return record("get fee", feeText); }
    void setFee(const std::string& text) override { feeText = record("set fee", text); }

    std::string amountText;
    std::string gpriceText;
    std::string feeText;
    std::vector<std::string>* log = nullptr;

private:
    const std::string& record(const char* call, const std::string& text) const {
        if (log != nullptr)
            log->emplace_back(call);
        return text;
    }
};

} // namespace halvern::testing

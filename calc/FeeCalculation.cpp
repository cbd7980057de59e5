#include "calc/FeeCalculation.h"

#include "calc/Errors.h"
#include "calc/FeeSchedule.h"
#include "calc/NumberText.h"

#include <cmath>

namespace halvern {

namespace {

constexpr double centsPerDollar = 100.0;
constexpr double lowestWholeCent = 1.0;
constexpr double highestWholeCent = 10000.0;
constexpr double minimumFee = 0.01;

using Kind = FloatingPointError::Kind;

// The floating-point check after a division or a product: results that left the finite doubles
// stop the press. Inexact and underflowing results pass.
double checked(double result) {
    if (std::isnan(result))
        throw FloatingPointError(Kind::invalidOperation);
    if (std::isinf(result))
        throw FloatingPointError(Kind::overflow);
    return result;
}

double checkedQuotient(double dividend, double divisor) {
    if (divisor == 0.0)
        throw FloatingPointError(dividend == 0.0 ? Kind::invalidOperation : Kind::zeroDivide);
    return checked(dividend / divisor);
}

} // namespace

double roundToWholeCents(double cents) {
    if (!(cents > lowestWholeCent - 0.5 && cents < highestWholeCent + 0.5))
        return cents;
    // Below 2^52 both the whole part and the fraction are exact, so the halfway test is too.
    const double whole = std::floor(cents);
    const double fraction = cents - whole;
    if (fraction < 0.5)
        return whole;
    if (fraction > 0.5)
        return whole + 1.0;
    return cents;
}

void Command1_Click(Form& form1) {
    const std::string gpriceText = form1.gprice();
    const std::string amountText = form1.amount();
    const double amount = textToNumber(amountText, Field::amount);
    const double goldPrice = textToNumber(gpriceText, Field::gprice);

    const double ounces = checkedQuotient(amount, goldPrice);
    // Only a huge amount or a minute gold price gets past the double range from here on; such a
    // press stops with an overflow rather than writing "inf" into the fee.
    const double grams = checked(ounces * GRAMS_PER_TROY_OUNCE);
    const double feeOunces = FeeSchedule(grams).value_or(0.0) / GRAMS_PER_TROY_OUNCE;
    const double feeDollars = checked(multiplyByText(feeOunces, form1.gprice(), Field::gprice));
    form1.setFee(numberToText(feeDollars));

    const double cents = checked(textToNumber(form1.fee(), Field::fee) * centsPerDollar);
    form1.setFee(numberToText(roundToWholeCents(cents) / centsPerDollar));

    if (textToNumber(form1.fee(), Field::fee) < minimumFee)
        form1.setFee(numberToText(minimumFee));
}

} // namespace halvern

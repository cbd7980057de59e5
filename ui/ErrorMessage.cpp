#include "ui/ErrorMessage.h"

#include "calc/Errors.h"

#include <QCoreApplication>

namespace halvern::ui {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("ErrorMessage", text);
}

QString fieldInWords(Field field) {
    switch (field) {
    case Field::amount:
        return tr("amount");
    case Field::gprice:
        return tr("gold price");
    case Field::fee:
        return tr("fee");
    }
    return {};
}

QString conversionMessage(const ConversionError& error) {
    const QString field = fieldInWords(error.field());
    if (QString::fromUtf8(error.text()).trimmed().isEmpty())
        return tr("The %1 is empty.\n\nPlease type a number, for example 1250.50.").arg(field);
    return tr("The %1 \"%2\" is not a number.\n\n"
              "Please type digits with a point for decimals, for example 1250.50.")
        .arg(field, quotedFieldText(error.text()));
}

QString floatingPointMessage(const FloatingPointError& error) {
    switch (error.kind()) {
    case FloatingPointError::Kind::zeroDivide:
        return tr("Division by zero: the gold price is 0.\n\nPlease type the gold price in "
                  "dollars per troy ounce.");
    case FloatingPointError::Kind::invalidOperation:
        return tr("Invalid operation: the amount and the gold price are both 0.\n\nPlease type "
                  "the gold price in dollars per troy ounce.");
    case FloatingPointError::Kind::overflow:
        return tr("Overflow: a number is too large to calculate with.\n\nPlease check the "
                  "amount and the gold price.");
    }
    return {};
}

} // namespace

QString quotedFieldText(const std::string& text, qsizetype limit) {
    // Cut the bytes first: a pasted text may be huge, and only its start is shown.
    const std::size_t byteLimit = static_cast<std::size_t>(limit) * 4 + 4;
    QString shown =
        QString::fromUtf8(text.data(), static_cast<qsizetype>(std::min(text.size(), byteLimit)));
    for (QChar& c : shown) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QChar::ReplacementCharacter;
    }
    if (shown.size() > limit) {
        qsizetype cut = limit - 1;
        if (shown.at(cut - 1).isHighSurrogate())
            --cut;
        shown = shown.left(cut) + QChar(0x2026);
    }
    return shown;
}

QString errorMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const ConversionError& e) {
        return conversionMessage(e);
    } catch (const FloatingPointError& e) {
        return floatingPointMessage(e);
    } catch (const std::exception& e) {
        return tr("The fee could not be calculated: %1").arg(QString::fromUtf8(e.what()));
    } catch (...) {
        return tr("The fee could not be calculated because of an unexpected error.");
    }
}

} // namespace halvern::ui

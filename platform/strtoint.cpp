#include "platform/strtoint.h"

#include "platform/econverterror.h"

int StrToInt(const QString& text) {
    QString digits = text;
    qsizetype start = 0;
    while (start < digits.size() && digits[start] == QLatin1Char(' ')) {
        ++start;
    }
    digits = digits.mid(start);
    bool negative = false;
    if (!digits.isEmpty() && (digits[0] == QLatin1Char('-') || digits[0] == QLatin1Char('+'))) {
        negative = digits[0] == QLatin1Char('-');
        digits = digits.mid(1);
    }
    int base = 10;
    if (digits.startsWith(QLatin1Char('$'))) {
        digits = digits.mid(1);
        base = 16;
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = digits.mid(2);
        base = 16;
    }
    // toLongLong would take blanks and signs of its own; only bare digits get this far.
    bool ok = !digits.isEmpty();
    for (const QChar c : digits) {
        ok = ok && (base == 16 ? QStringLiteral("0123456789abcdefABCDEF").contains(c)
                               : c.isDigit() && c.unicode() < 128);
    }
    const long long magnitude = ok ? digits.toLongLong(&ok, base) : 0;
    const long long value = negative ? -magnitude : magnitude;
    if (!ok || value < -2147483648LL || value > 2147483647LL) {
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    return static_cast<int>(value);
}

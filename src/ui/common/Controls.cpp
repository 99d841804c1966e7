// Control naming and the edit-box validators (ui/common).
#include "ui/common/Controls.h"

#include <QLineEdit>
#include <QWidget>

namespace tvx::ui {

void NameControl(QWidget* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setAccessibleName(accessibleName.isEmpty() ? QString::fromUtf8(name) : accessibleName);
}

QValidator::State UpperCaseValidator::validate(QString& input, int& pos) const {
    input = input.toUpper();
    return Acceptable;
}

NumberValidator::NumberValidator(int digits, int decimals, bool allowNegative, QObject* parent)
    : QValidator(parent), digits_(digits), decimals_(decimals), allowNegative_(allowNegative) {}

QValidator::State NumberValidator::validate(QString& input, int& pos) const {
    qsizetype i = 0;
    if (i < input.size() && input[i] == u'-') {
        if (!allowNegative_) return Invalid;
        ++i;
    }
    int whole = 0;
    while (i < input.size() && input[i].isDigit() && input[i].unicode() < 128) ++whole, ++i;
    if (whole > digits_) return Invalid;
    int fraction = 0;
    bool point = false;
    if (i < input.size() && input[i] == u'.') {
        if (decimals_ == 0) return Invalid;
        point = true;
        ++i;
        while (i < input.size() && input[i].isDigit() && input[i].unicode() < 128) ++fraction, ++i;
        if (fraction > decimals_) return Invalid;
    }
    if (i != input.size()) return Invalid;
    if (whole + fraction == 0 || (point && fraction == 0)) return Intermediate;
    return Acceptable;
}

void ConfigureTextBox(QLineEdit* box, int maxLength, bool upperCase) {
    box->setMaxLength(maxLength);
    if (upperCase) box->setValidator(new UpperCaseValidator(box));
}

void ConfigureNumberBox(QLineEdit* box, int digits, int decimals, bool allowNegative) {
    box->setMaxLength(digits + decimals + 2);
    box->setValidator(new NumberValidator(digits, decimals, allowNegative, box));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

}  // namespace tvx::ui

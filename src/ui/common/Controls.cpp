// Control naming and the edit-box validators (ui/common).
#include "ui/common/Controls.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include "ui/common/ShowProblem.h"

namespace tvx::ui {

void NameControl(QWidget* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QString::fromUtf8(name));
    if (qobject_cast<QLabel*>(widget)) {
        // A label is read by its text, which changes as the window shows values and
        // messages; what it stands for is its description.
        widget->setAccessibleName({});
        widget->setAccessibleDescription(accessibleName);
        return;
    }
    widget->setAccessibleName(accessibleName.isEmpty() ? QString::fromUtf8(name) : accessibleName);
}

QValidator::State UpperCaseValidator::validate(QString& input, int& pos) const {
    input = input.toUpper();
    return Acceptable;
}

NumberValidator::NumberValidator(int digits, int decimals, bool allowNegative, QObject* parent)
    : QValidator(parent), digits_(digits), decimals_(decimals), allowNegative_(allowNegative) {}

QValidator::State NumberValidator::validate(QString& input, int& pos) const {
    // Romanian users type a decimal comma; the box shows the program's point.
    input.replace(u',', u'.');
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

QString NumberValidator::hint() const {
    const QString digits = digits_ == 1 ? QString("o cifra") : QString("%1 cifre").arg(digits_);
    QString text = decimals_ == 0
                       ? "Aici se scrie un numar intreg de cel mult " + digits
                       : QString(
                             "Aici se scrie un numar de cel mult %1 inainte de virgula si %2 "
                             "zecimale")
                             .arg(digits)
                             .arg(decimals_);
    if (!allowNegative_) text += ", fara semn";
    return text + "!";
}

void ConfigureTextBox(QLineEdit* box, int maxLength, bool upperCase) {
    box->setMaxLength(maxLength);
    if (upperCase) box->setValidator(new UpperCaseValidator(box));
}

void ConfigureDisplayBox(QLineEdit* box) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
}

void ConfigureNumberBox(QLineEdit* box, int digits, int decimals, bool allowNegative) {
    box->setMaxLength(digits + decimals + 2);
    auto* validator = new NumberValidator(digits, decimals, allowNegative, box);
    box->setValidator(validator);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QObject::connect(box, &QLineEdit::inputRejected, box,
                     [box, validator] { ShowProblem(validator->hint(), box); });
}

QStringList FileNameFilters(const char* filter) {
    const QStringList parts = QString::fromUtf8(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString pattern = i + 1 < parts.size() ? parts[i + 1] : QString();
        filters << (parts[i].contains('(') || pattern.isEmpty() ? parts[i]
                                                                : parts[i] + " (" + pattern + ")");
    }
    return filters;
}

QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    NameControl(b, name, QString(caption).remove('&'));
    b->setAutoDefault(false);
    return b;
}

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QLabel* TitleLine(QWidget* parent, const char* role, const QString& text) {
    auto* label = new QLabel(text, parent);
    NameControl(label, "Titlu");
    label->setProperty("role", role);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel* Banner(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setProperty("role", "banner");
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace tvx::ui

// Binding widgets to core objects (ui/common): engine calls that show their error instead of
// leaving a command, conversions between the controls' texts and dates and the core's
// strings, decimals and dates, named boxes with their limits, and writing a value the core
// computed back into a box without setting off the box's own reaction.
#pragma once

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <exception>
#include <string>

#include "core/common/TypedNumbers.h"
#include "tables/Date.h"
#include "tables/Decimal.h"
#include "ui/common/Controls.h"
#include "ui/common/Mesaj.h"

namespace tvx::ui {

// Runs `work`; an engine (or file) error is shown with its own text instead of leaving the
// command. Returns whether the work completed.
template <typename Work>
bool Guarded(Work&& work) {
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        ShowError(QString::fromStdString(error.what()));
        return false;
    }
}

inline QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

inline std::string Std(const QString& text) {
    return text.toStdString();
}

inline std::string Std(const QLineEdit* box) {
    return box->text().toStdString();
}

// A number box's value: what it reads as, 0 for a blank or unfinished entry ("", "-").
inline tables::Decimal Number(const QString& text) {
    return core::TypedNumber(text.toStdString());
}

inline QDate ToQDate(tables::Date date) {
    return QDate(date.year(), date.month(), date.day());
}

inline tables::Date FromQDate(const QDate& date) {
    return tables::Date::fromYmd(date.year(), date.month(), date.day());
}

inline QLineEdit* TextBox(QWidget* parent, const char* name, const QString& label, int length,
                          bool upperCase) {
    auto* box = new QLineEdit(parent);
    NameControl(box, name, label);
    ConfigureTextBox(box, length, upperCase);
    return box;
}

inline QLineEdit* NumberBox(QWidget* parent, const char* name, const QString& label, int digits,
                            int decimals, bool allowNegative) {
    auto* box = new QLineEdit(parent);
    NameControl(box, name, label);
    ConfigureNumberBox(box, digits, decimals, allowNegative);
    box->setAlignment(Qt::AlignRight);
    return box;
}

// An editable drop-down limited like a text box.
inline QComboBox* ChoiceBox(QWidget* parent, const char* name, const QString& label, int length) {
    auto* box = new QComboBox(parent);
    NameControl(box, name, label);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    ConfigureTextBox(box->lineEdit(), length, true);
    box->lineEdit()->setAccessibleName(label);
    return box;
}

inline QDateEdit* DateBox(QWidget* parent, const char* name, const QString& label) {
    auto* box = new QDateEdit(parent);
    NameControl(box, name, label);
    box->setDisplayFormat("dd.MM.yyyy");
    box->setCalendarPopup(true);
    return box;
}

// Writes a value the core computed into a box, quietly and only when it differs (the cursor
// of the box being typed in stays where it is).
inline void Put(QLineEdit* box, const std::string& value) {
    const QString text = Text(value);
    if (box->text() == text) return;
    const QSignalBlocker quiet(box);
    box->setText(text);
}

inline void Put(QComboBox* box, const std::string& value) {
    const QString text = Text(value);
    if (box->currentText() == text) return;
    const QSignalBlocker quiet(box);
    box->setEditText(text);
}

inline void Put(QDateEdit* box, tables::Date value) {
    const QSignalBlocker quiet(box);
    box->setDate(ToQDate(value));
}

}  // namespace tvx::ui

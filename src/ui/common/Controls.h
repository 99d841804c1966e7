// Small helpers every window uses to set up its controls (ui/common): the control name and
// accessible name, upper-case and length-limited edit boxes, and number boxes that accept
// only what fits their digits and decimals. A typed decimal comma becomes the program's "."
// as it is typed; a key a number box refuses is explained in the balloon at the box.
#pragma once

#include <QString>
#include <QStringList>
#include <QValidator>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tvx::ui {

// Gives `widget` its control name as objectName and an accessible name (the name itself when
// `accessibleName` is empty). A label keeps no fixed accessible name: a screen reader reads its
// text as it is now, and `accessibleName` becomes its description.
void NameControl(QWidget* widget, const char* name, const QString& accessibleName = {});

// A file chooser's filter "Name|*.a|Other (*.b)|*.b" as Qt name filters: each name with its
// pattern in brackets (added when the name lacks it).
QStringList FileNameFilters(const char* filter);

// A dialog button named `name` with `caption` ("&" marks its key); it never becomes the
// default button by itself (Enter is handled by the Enter/Esc filter).
QPushButton* MakeButton(const char* name, const char* caption, QWidget* parent);
// The row of a dialog's two buttons, right-aligned.
QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel);
// A centred heading line of a dialog.
QLabel* Banner(const char* text, QWidget* parent);
// The centred title line "Titlu" that a window sets per use; `role` "title" or "banner".
QLabel* TitleLine(QWidget* parent, const char* role = "title", const QString& text = {});

// Turns every typed letter to upper case; accepts anything else.
class UpperCaseValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// A number of at most `digits` digits before the decimal point and `decimals` after it,
// optionally negative. Partial input ("", "-", "12.") is intermediate. A decimal comma is
// turned into "." in the box; a second separator is refused.
class NumberValidator : public QValidator {
    Q_OBJECT
  public:
    NumberValidator(int digits, int decimals, bool allowNegative, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

    // What the box takes, for the balloon shown when it refuses a key.
    QString hint() const;

  private:
    int digits_;
    int decimals_;
    bool allowNegative_;
};

// Limits a text box to `maxLength` characters and, when asked, to upper case.
void ConfigureTextBox(QLineEdit* box, int maxLength, bool upperCase);
// Makes a box one the program fills and the user only reads: read-only, skipped by Tab and
// Enter, yet a click gives it the focus, so that keys typed after the click go nowhere instead
// of into the box that had the focus before.
void ConfigureDisplayBox(QLineEdit* box);
// Makes a box a number box of `digits` integer digits and `decimals` decimals; a refused key
// shows the box's hint in the balloon at the box, so that nothing is dropped without a word.
void ConfigureNumberBox(QLineEdit* box, int digits, int decimals, bool allowNegative = false);

}  // namespace tvx::ui

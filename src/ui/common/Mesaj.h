// The message window every question and notice passes through (ui/common): a title in
// large letters, the text (shown whole: the window grows with it, up to the screen, and then
// scrolls), a picture and caption by kind, and the buttons chosen by bits. A screen reader
// reads the kind with the title and then the text.
#pragma once

#include <QDialog>
#include <QString>

#include "core/admin/AdminCommon.h"

class QLabel;
class QPushButton;
class QScrollArea;

namespace tvx::ui {

// Button bits and the answers they give.
enum MesajButton { kButtonDa = 1, kButtonNu = 2, kButtonOK = 4, kButtonRenunt = 8 };
enum MesajAnswer { kAnswerOK = 1, kAnswerRenunt = 2, kAnswerDa = 6, kAnswerNu = 7 };
// Kinds: 0 warning, 1 error (also any unknown value), 2 information, 3 confirmation.
enum MesajKind { kKindWarning = 0, kKindError = 1, kKindInformation = 2, kKindConfirmation = 3 };

class TErori : public QDialog {
    Q_OBJECT
  public:
    // The one message window of the application (created on first use).
    static TErori& instance();

    // Shows the window modally and returns the answer of the button pressed; Esc or closing
    // answer 2. With no button bit set nothing is shown and the answer is 2.
    int ask(const QString& title, const QString& text, int buttons, int kind);

    // The caption a kind gives the window.
    static QString captionOf(int kind);

  public slots:
    void reject() override;

  private:
    TErori();
    void ButtonClick(int answer);
    // Sizes the text to be read whole: its own width up to part of the screen, every line
    // shown; a text taller than the screen scrolls.
    void FitText();
    QLabel* picture_;
    QLabel* title_;
    QLabel* text_;
    QScrollArea* scroll_;
    QPushButton* BE1;  // &Da
    QPushButton* BE2;  // &Nu
    QPushButton* BE3;  // &Renunt
    QPushButton* BE4;  // &OK
};

// `Mesaj`(title, text, buttons, kind): the answer of the message window (1, 2, 6 or 7).
int Mesaj(const QString& title, const QString& text, int buttons, int kind);
// A question or notice of the core: its title, text and kind.
int Mesaj(const core::Message& message, int buttons = kButtonOK);
// Asks a core question with Da and Nu; true only for Da.
bool Confirmed(const core::Message& question);
// An engine or file error with its own text: title "Eroare", OK, kind error.
void ShowError(const QString& text);

}  // namespace tvx::ui

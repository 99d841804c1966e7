// The message window (ui/common).
#include "ui/common/Mesaj.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/common/Controls.h"

namespace tvx::ui {

TErori& TErori::instance() {
    static TErori* window = [] {
        auto* w = new TErori();
        qAddPostRoutine([] { delete &TErori::instance(); });
        return w;
    }();
    return *window;
}

QString TErori::captionOf(int kind) {
    switch (kind) {
        case kKindWarning:
            return "Atentie !";
        case kKindInformation:
            return "Informatie";
        case kKindConfirmation:
            return "Confirmare";
        default:
            return "Eroare";
    }
}

TErori::TErori() : QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    NameControl(this, "TErori", "Mesaj");
    setModal(true);
    picture_ = new QLabel(this);
    NameControl(picture_, "Imagine");
    title_ = new QLabel(this);
    NameControl(title_, "Titlu");
    title_->setProperty("role", "title");
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    text_ = new QLabel;
    NameControl(text_, "Text");
    text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A text taller than the screen scrolls instead of being cut.
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("TextArea");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(text_);
    // The text sits on the window itself, not on a panel of its own.
    scroll_->setStyleSheet(
        "QScrollArea, QScrollArea > QWidget, QLabel { background: transparent; }");

    const auto makeButton = [this](const char* name, const char* caption, int answer) {
        auto* b = new QPushButton(caption, this);
        NameControl(b, name, QString(caption).remove('&'));
        b->setAutoDefault(true);
        connect(b, &QPushButton::clicked, this, [this, answer] { ButtonClick(answer); });
        return b;
    };
    BE1 = makeButton("BE1", "&Da", kAnswerDa);
    BE2 = makeButton("BE2", "&Nu", kAnswerNu);
    BE3 = makeButton("BE3", "&Renunt", kAnswerRenunt);
    BE4 = makeButton("BE4", "&OK", kAnswerOK);

    auto* top = new QHBoxLayout;
    top->addWidget(picture_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(title_);
    texts->addWidget(scroll_);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BE1, BE2, BE3, BE4}) {
        buttons->addWidget(b);
        buttons->addStretch();
    }
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void TErori::FitText() {
    const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    text_->ensurePolished();  // the style sheet's font is the one measured
    title_->ensurePolished();
    // The text's own width, up to two thirds of the screen; longer lines wrap.
    const QFontMetrics metrics(text_->font());
    int widest = 0;
    for (const QString& line : text_->text().split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margin = 2 * text_->margin() + 2 * text_->frameWidth() + 4;
    const int width = std::clamp(widest + margin, 320, std::max(320, room.width() * 2 / 3));
    text_->setFixedWidth(width);
    const int height = text_->heightForWidth(width);
    text_->setFixedHeight(height);
    // Everything else of the window (title, buttons, margins) and the text share the screen.
    const int others = title_->heightForWidth(width) + BE1->sizeHint().height() + 100;
    const int shown = std::min(height, std::max(metrics.lineSpacing() * 3, room.height() - others));
    const int bar = shown < height ? scroll_->verticalScrollBar()->sizeHint().width() : 0;
    scroll_->setVerticalScrollBarPolicy(bar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    scroll_->setFixedSize(width + bar, shown);
    scroll_->verticalScrollBar()->setValue(0);
    title_->setMinimumWidth(width);
}

void TErori::ButtonClick(int answer) {
    done(answer);
}

void TErori::reject() {
    done(kAnswerRenunt);
}

int TErori::ask(const QString& title, const QString& text, int buttons, int kind) {
    if ((buttons & (kButtonDa | kButtonNu | kButtonOK | kButtonRenunt)) == 0) return kAnswerRenunt;
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxCritical;
    switch (kind) {
        case kKindWarning:
            pixmap = QStyle::SP_MessageBoxWarning;
            break;
        case kKindInformation:
            pixmap = QStyle::SP_MessageBoxInformation;
            break;
        case kKindConfirmation:
            pixmap = QStyle::SP_MessageBoxQuestion;
            break;
        default:
            QApplication::beep();
    }
    setWindowTitle(captionOf(kind));
    // A screen reader announces the kind with the title, then the text.
    setAccessibleName(title.isEmpty() ? captionOf(kind) : captionOf(kind) + ": " + title);
    picture_->setPixmap(style()->standardIcon(pixmap).pixmap(48, 48));
    title_->setText(title);
    QString lines = text;
    lines.replace("\r\n", "\n").replace('\r', '\n');
    text_->setText(lines);
    setAccessibleDescription(lines);
    FitText();
    BE1->setVisible(buttons & kButtonDa);
    BE2->setVisible(buttons & kButtonNu);
    BE3->setVisible(buttons & kButtonRenunt);
    BE4->setVisible(buttons & kButtonOK);
    for (QPushButton* b : {BE1, BE2, BE4, BE3}) {
        if (b->isVisibleTo(this)) {
            b->setFocus();
            b->setDefault(true);
            break;
        }
    }
    adjustSize();
    return exec();
}

int Mesaj(const QString& title, const QString& text, int buttons, int kind) {
    return TErori::instance().ask(title, text, buttons, kind);
}

int Mesaj(const core::Message& message, int buttons) {
    int kind = kKindError;
    switch (message.kind) {
        case core::MessageKind::Warning:
            kind = kKindWarning;
            break;
        case core::MessageKind::Information:
            kind = kKindInformation;
            break;
        case core::MessageKind::Confirmation:
            kind = kKindConfirmation;
            break;
        case core::MessageKind::Error:
            break;
    }
    return Mesaj(QString::fromStdString(message.title), QString::fromStdString(message.text),
                 buttons, kind);
}

bool Confirmed(const core::Message& question) {
    return Mesaj(question, kButtonDa | kButtonNu) == kAnswerDa;
}

void ShowError(const QString& text) {
    Mesaj("Eroare", text.isEmpty() ? QString("Eroare necunoscuta") : text, kButtonOK, kKindError);
}

}  // namespace tvx::ui

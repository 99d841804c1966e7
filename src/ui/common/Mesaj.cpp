// The message window (ui/common).
#include "ui/common/Mesaj.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

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
    text_ = new QLabel(this);
    NameControl(text_, "Text");
    text_->setAlignment(Qt::AlignCenter);
    text_->setWordWrap(true);
    text_->setMinimumWidth(320);

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
    texts->addWidget(text_);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {BE1, BE2, BE3, BE4}) {
        buttons->addWidget(b);
        buttons->addStretch();
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
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
    picture_->setPixmap(style()->standardIcon(pixmap).pixmap(48, 48));
    title_->setText(title);
    QString lines = text;
    lines.replace("\r\n", "\n").replace('\r', '\n');
    text_->setText(lines);
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

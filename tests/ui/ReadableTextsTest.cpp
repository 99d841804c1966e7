// What the program says reaches the user whole: a label is read by a screen reader with the
// text it shows now, the message window is read with its kind and text and shows every line
// of a long text, and Qt's own file dialog speaks Romanian once the program's texts are loaded.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

#include "UiTestSupport.h"
#include "ui/common/Controls.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Translations.h"

namespace tvx::ui {
namespace {

using testing::WhenModal;

QString ReadName(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

TEST(ReadableTexts, ValueLabelIsReadWithItsCurrentText) {
    QWidget window;
    auto* total = new QLabel("0.00", &window);
    NameControl(total, "TotalVal", "Total valoare");
    total->setText("1234.50");
    EXPECT_EQ(ReadName(total), "1234.50");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(total)->text(QAccessible::Description),
              "Total valoare");
    EXPECT_EQ(total->objectName(), "TotalVal");
    auto* button = new QPushButton("&Listeaza", &window);  // other controls keep their names
    NameControl(button, "ListBut", "Listeaza");
    button->setText("Altceva");
    EXPECT_EQ(ReadName(button), "Listeaza");
}

// What the message window shows and is read as, taken while it is open.
struct Shown {
    QString name, description, textName;
    bool wholeLabel = false, inWindow = false, scrolls = false, fitsScreen = false;
};

Shown ShowMesaj(const QString& text) {
    Shown shown;
    WhenModal([&](QWidget* modal) {
        auto* label = modal->findChild<QLabel*>("Text");
        auto* area = modal->findChild<QScrollArea*>("TextArea");
        shown.name = ReadName(modal);
        shown.description =
            QAccessible::queryAccessibleInterface(modal)->text(QAccessible::Description);
        shown.textName = ReadName(label);
        shown.wholeLabel = label->height() >= label->heightForWidth(label->width()) &&
                           label->width() >= label->minimumSizeHint().width();
        const QRect viewport(area->viewport()->mapTo(modal, QPoint()), area->viewport()->size());
        const QRect place(label->mapTo(modal, QPoint()), label->size());
        shown.inWindow = modal->contentsRect().contains(viewport) && viewport.contains(place);
        shown.scrolls = area->verticalScrollBar()->maximum() > 0;
        shown.fitsScreen =
            modal->frameGeometry().height() <= modal->screen()->availableGeometry().height();
        testing::CloseModal(modal);
    });
    Mesaj("Incarcare date", text, kButtonDa | kButtonNu, kKindWarning);
    return shown;
}

TEST(ReadableTexts, MessageWindowIsReadWithItsKindAndShowsEveryLine) {
    QString text =
        "ATENTIE !!\rSe vor sterge DEFINITIV datele actuale si vor fi inlocuite\r"
        "cu cele indicate de dvs!\rContinuam restaurarea ?";
    for (int i = 1; i <= 8; ++i)
        text += "\rLinia " + QString::number(i) +
                " a unui mesaj de eroare lung, care trece de "
                "latimea obisnuita a ferestrei si trebuie sa se rupa pe mai multe randuri.";
    const Shown shown = ShowMesaj(text);
    EXPECT_EQ(shown.name, "Atentie !: Incarcare date");
    EXPECT_EQ(shown.description, QString(text).replace('\r', '\n'));
    EXPECT_EQ(shown.textName, QString(text).replace('\r', '\n'));
    EXPECT_TRUE(shown.wholeLabel);
    EXPECT_TRUE(shown.inWindow);
    EXPECT_FALSE(shown.scrolls);
}

TEST(ReadableTexts, MessageTallerThanTheScreenScrollsInsideIt) {
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << "Fisierul " + QString::number(i) + " nu a putut fi citit.";
    const Shown shown = ShowMesaj(lines.join('\r'));
    EXPECT_TRUE(shown.wholeLabel);
    EXPECT_TRUE(shown.scrolls);
    EXPECT_TRUE(shown.fitsScreen);
}

TEST(ReadableTexts, FileDialogSpeaksRomanian) {
    ASSERT_TRUE(InstallQtTranslations(*qApp)) << QtTranslationFile().toStdString();
    EXPECT_TRUE(QCoreApplication::testAttribute(Qt::AA_DontUseNativeDialogs));
    QFileDialog dialog(nullptr, "Unde salvam arhiva ?");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.show();
    EXPECT_EQ(dialog.findChild<QLabel*>("lookInLabel")->text(), "Cauta in:");
    EXPECT_EQ(dialog.findChild<QLabel*>("fileNameLabel")->text(), "&Nume fisier:");
    EXPECT_EQ(dialog.findChild<QLabel*>("fileTypeLabel")->text(), "Fisiere de tipul:");
    auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
    EXPECT_EQ(buttons->button(QDialogButtonBox::Save)->text(), "&Salveaza");
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), "Renunt");
    auto* details = dialog.findChild<QTreeView*>("treeView");
    EXPECT_EQ(details->model()->headerData(0, Qt::Horizontal).toString(), "Nume");
    EXPECT_EQ(details->model()->headerData(3, Qt::Horizontal).toString(), "Data modificarii");
    dialog.reject();
}

TEST(ReadableTexts, PrintDialogSpeaksRomanian) {
    ASSERT_TRUE(InstallQtTranslations(*qApp));
    QPrinter printer;
    QPrintDialog dialog(&printer);
    dialog.show();
    QStringList captions;
    for (const auto* button : dialog.findChildren<QPushButton*>()) captions << button->text();
    EXPECT_TRUE(captions.contains("&Listeaza")) << captions.join('|').toStdString();
    EXPECT_TRUE(captions.contains("&Optiuni >>")) << captions.join('|').toStdString();
    EXPECT_TRUE(captions.contains("Renunt")) << captions.join('|').toStdString();
    dialog.reject();
}

}  // namespace
}  // namespace tvx::ui

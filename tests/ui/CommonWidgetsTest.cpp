// The shared pieces of every window: the Enter/Esc keys, the warning balloon, the message
// window, the progress window and the edit-box validators.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "UiTestSupport.h"
#include "core/admin/AdminCommon.h"
#include "ui/common/Controls.h"
#include "ui/common/KeyNavigation.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"
#include "ui/common/ShowProblem.h"

namespace tvx::ui {
namespace {

using testing::PressKey;
using testing::WhenModal;

// A form of three fields and a save button that counts its presses.
struct Form {
    QDialog dialog;
    QLineEdit* first = new QLineEdit(&dialog);
    QComboBox* second = new QComboBox(&dialog);
    QLineEdit* third = new QLineEdit(&dialog);
    QPushButton* save = new QPushButton("Memoreaza", &dialog);
    int saved = 0;
    Form() {
        auto* layout = new QVBoxLayout(&dialog);
        for (QWidget* w : {static_cast<QWidget*>(first), static_cast<QWidget*>(second),
                           static_cast<QWidget*>(third), static_cast<QWidget*>(save)})
            layout->addWidget(w);
        second->addItems({"A", "B"});
        QObject::connect(save, &QPushButton::clicked, [this] { ++saved; });
        dialog.show();
        first->setFocus();
    }
};

TEST(EnterEscFilter, EnterWalksTheFieldsAndPressesSaveOnTheLast) {
    Form form;
    EnterEscFilter::install(&form.dialog, form.save);
    PressKey(Qt::Key_Return, form.first);
    EXPECT_EQ(form.dialog.focusWidget(), form.second);
    PressKey(Qt::Key_Enter, form.second);
    EXPECT_EQ(form.dialog.focusWidget(), form.third);
    EXPECT_EQ(form.saved, 0);
    PressKey(Qt::Key_Return, form.third);
    EXPECT_EQ(form.saved, 1);
    EXPECT_EQ(form.dialog.focusWidget(), form.third);
}

TEST(EnterEscFilter, LastFieldFollowsVisibilityOrAnExplicitChoice) {
    Form form;
    auto* filter = EnterEscFilter::install(&form.dialog, form.save);
    form.third->hide();
    form.second->setFocus();
    PressKey(Qt::Key_Return, form.second);
    EXPECT_EQ(form.saved, 1);
    form.third->show();
    filter->setLastField(form.first);
    form.first->setFocus();
    PressKey(Qt::Key_Return, form.first);
    EXPECT_EQ(form.saved, 2);
}

TEST(EnterEscFilter, ControlsAddedLaterAreWatchedAndEscRejects) {
    Form form;
    EnterEscFilter::install(&form.dialog, form.save);
    auto* late = new QLineEdit(&form.dialog);
    form.dialog.layout()->addWidget(late);
    late->show();
    late->setFocus();
    PressKey(Qt::Key_Return, late);  // last field now: presses save
    EXPECT_EQ(form.saved, 1);
    PressKey(Qt::Key_Escape, form.first);
    EXPECT_FALSE(form.dialog.isVisible());
    EXPECT_EQ(form.dialog.result(), QDialog::Rejected);
}

TEST(EnterEscFilter, WithoutSaveButtonEnterOnlyMovesAndAFocusedButtonIsClicked) {
    Form form;
    EnterEscFilter::install(&form.dialog);
    form.third->setFocus();
    PressKey(Qt::Key_Return, form.third);
    EXPECT_EQ(form.saved, 0);
    EXPECT_EQ(form.dialog.focusWidget(), form.save);
    PressKey(Qt::Key_Return, form.save);
    EXPECT_EQ(form.saved, 1);
}

class BalloonTest : public ::testing::Test {
  protected:
    void SetUp() override { ProblemBalloon::setLifetime(50); }
    void TearDown() override {
        ProblemBalloon::instance().hide();
        ProblemBalloon::setLifetime(ProblemBalloon::kDefaultLifetimeMs);
    }
    static bool waitUntilHidden(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (ProblemBalloon::instance().isVisible() && clock.elapsed() < ms)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        return !ProblemBalloon::instance().isVisible();
    }
};

TEST_F(BalloonTest, ShowsTitleAndMessageAtTheControlAndClosesByItself) {
    Form form;
    ShowProblem("Cod Fiscal incorect!", form.third);
    const auto& balloon = ProblemBalloon::instance();
    ASSERT_TRUE(balloon.isVisible());
    EXPECT_EQ(balloon.title(), "Problema !");
    EXPECT_EQ(balloon.message(), "Cod Fiscal incorect!");
    EXPECT_EQ(balloon.control(), form.third);
    EXPECT_EQ(form.dialog.focusWidget(), form.third);
    const QPoint below = form.third->mapToGlobal(QPoint(0, form.third->height()));
    EXPECT_NEAR(balloon.geometry().top(), below.y(), 2);
    EXPECT_TRUE(waitUntilHidden(2000));
}

TEST_F(BalloonTest, NextKeyOrClickClosesIt) {
    ProblemBalloon::setLifetime(60000);
    Form form;
    ShowProblem("Lipseste numele!", form.first);
    ASSERT_TRUE(ProblemBalloon::instance().isVisible());
    PressKey(Qt::Key_A, form.first);
    EXPECT_FALSE(ProblemBalloon::instance().isVisible());

    ShowProblem("Lipseste numele!", form.first);
    const QPointF at(2, 2);
    QMouseEvent click(QEvent::MouseButtonPress, at, form.first->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.second, &click);
    EXPECT_FALSE(ProblemBalloon::instance().isVisible());
}

TEST_F(BalloonTest, FieldProblemFindsTheControlByName) {
    Form form;
    NameControl(form.second, "Gradul");
    ShowProblem(core::FieldProblem{"Gradul", "Alegeti!"}, &form.dialog);
    EXPECT_EQ(ProblemBalloon::instance().control(), form.second);
    ShowProblem(core::FieldProblem{"Lipsa", "Alegeti!"}, &form.dialog);
    EXPECT_EQ(ProblemBalloon::instance().control(), &form.dialog);
}

// Opens Mesaj and presses the button named `button` (empty: Esc); returns the answer and
// what the window showed.
struct MesajRun {
    int answer = -1;
    QString caption;
    QStringList visibleButtons;
};

MesajRun RunMesaj(int buttons, int kind, const QString& press) {
    MesajRun run;
    WhenModal([&](QWidget* modal) {
        run.caption = modal->windowTitle();
        for (const char* name : {"BE1", "BE2", "BE3", "BE4"}) {
            auto* b = modal->findChild<QPushButton*>(name);
            if (b && b->isVisible()) run.visibleButtons << b->text();
        }
        if (press.isEmpty()) {
            PressKey(Qt::Key_Escape);
            return;
        }
        for (auto* b : modal->findChildren<QPushButton*>())
            if (b->text() == press && b->isVisible()) b->click();
        testing::CloseModal(QApplication::activeModalWidget());
    });
    run.answer = Mesaj("Titlu", "Linia 1\rLinia 2", buttons, kind);
    return run;
}

TEST(Mesaj, EachButtonGivesItsAnswer) {
    EXPECT_EQ(RunMesaj(3, kKindConfirmation, "&Da").answer, 6);
    EXPECT_EQ(RunMesaj(3, kKindConfirmation, "&Nu").answer, 7);
    EXPECT_EQ(RunMesaj(4, kKindInformation, "&OK").answer, 1);
    EXPECT_EQ(RunMesaj(8 | 4, kKindWarning, "&Renunt").answer, 2);
}

TEST(Mesaj, EscAnswersTwoAndNoButtonShowsNothing) {
    EXPECT_EQ(RunMesaj(3, kKindWarning, {}).answer, 2);
    EXPECT_EQ(Mesaj("Titlu", "Text", 0, kKindError), 2);
    EXPECT_FALSE(TErori::instance().isVisible());
}

TEST(Mesaj, CaptionsByKindAndButtonsInOrder) {
    const MesajRun all = RunMesaj(15, 7, "&OK");
    EXPECT_EQ(all.caption, "Eroare");
    EXPECT_EQ(all.visibleButtons, QStringList({"&Da", "&Nu", "&Renunt", "&OK"}));
    EXPECT_EQ(RunMesaj(3, kKindWarning, "&Nu").caption, "Atentie !");
    EXPECT_EQ(RunMesaj(4, kKindInformation, "&OK").caption, "Informatie");
    const MesajRun question = RunMesaj(3, kKindConfirmation, "&Da");
    EXPECT_EQ(question.caption, "Confirmare");
    EXPECT_EQ(question.visibleButtons, QStringList({"&Da", "&Nu"}));
    const auto* text = TErori::instance().findChild<QLabel*>("Text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Linia 1\nLinia 2");
}

TEST(Progress, ShowsStepsAndGivesTheWindowBack) {
    QWidget window;
    window.show();
    TContor& progress = TContor::instance();
    progress.Arata(&window);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_FALSE(window.isEnabled());
    EXPECT_EQ(window.cursor().shape(), Qt::BusyCursor);
    progress.setText("Modific in Magazie...");
    progress.setMaximum(3);
    progress.step();
    progress.step(5);
    EXPECT_EQ(progress.position(), 3);  // held at the maximum
    EXPECT_EQ(progress.text(), "Modific in Magazie...");
    progress.Distruge(&window);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
    progress.Arata(nullptr);
    EXPECT_EQ(progress.maximum(), 100);
    EXPECT_EQ(progress.position(), 0);
    progress.Distruge(nullptr);
}

QValidator::State Check(const QValidator& v, QString text) {
    int pos = static_cast<int>(text.size());
    return v.validate(text, pos);
}

TEST(Validators, NumberBoxAcceptsOnlyWhatFits) {
    NumberValidator money(5, 2, false);
    EXPECT_EQ(Check(money, "12345.67"), QValidator::Acceptable);
    EXPECT_EQ(Check(money, ".5"), QValidator::Acceptable);
    EXPECT_EQ(Check(money, "123456"), QValidator::Invalid);
    EXPECT_EQ(Check(money, "1.234"), QValidator::Invalid);
    QString comma = "1,5";
    int end = 3;
    EXPECT_EQ(money.validate(comma, end), QValidator::Acceptable);
    EXPECT_EQ(comma, "1.5");  // a decimal comma becomes the program's point as it is typed
    EXPECT_EQ(Check(money, "1.020,5"), QValidator::Invalid);  // never two separators
    EXPECT_EQ(Check(money, "-1"), QValidator::Invalid);
    EXPECT_EQ(Check(money, "1.2.3"), QValidator::Invalid);
    EXPECT_EQ(Check(money, "12."), QValidator::Intermediate);
    EXPECT_EQ(Check(money, ""), QValidator::Intermediate);
    NumberValidator whole(3, 0, true);
    EXPECT_EQ(Check(whole, "-999"), QValidator::Acceptable);
    EXPECT_EQ(Check(whole, "-"), QValidator::Intermediate);
    EXPECT_EQ(Check(whole, "1."), QValidator::Invalid);
    EXPECT_EQ(Check(whole, "1e3"), QValidator::Invalid);
}

TEST(Validators, TextBoxIsUpperCaseAndCut) {
    QLineEdit box;
    ConfigureTextBox(&box, 5, true);
    box.insert("abc");
    box.insert("defgh");
    EXPECT_EQ(box.text(), "ABCDE");
    QLineEdit number;
    ConfigureNumberBox(&number, 3, 2);
    number.insert("12a");
    EXPECT_EQ(number.text(), "");  // the whole insertion is refused
    number.insert("12.5");
    EXPECT_EQ(number.text(), "12.5");
    NameControl(&number, "Pret", "Pret unitar");
    EXPECT_EQ(number.objectName(), "Pret");
    EXPECT_EQ(number.accessibleName(), "Pret unitar");
}

}  // namespace
}  // namespace tvx::ui

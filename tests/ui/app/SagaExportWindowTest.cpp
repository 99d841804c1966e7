// "Export in SAGA" from the report menu: the period picker with its location, the folder
// chooser, the three files placed with the success message; a second export into the same
// folder asks first, keeps the files on "Nu" and lets the user choose again, replaces them
// on "Da"; the work files never stay in the program folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../UiTestSupport.h"
#include "core/admin/Users.h"
#include "ui/app/Application.h"
#include "ui/app/TForm3.h"
#include "ui/app/WireSaga.h"

namespace tvx::ui {
namespace {

namespace fs = std::filesystem;
using testing::Child;
using testing::WhenModalNamed;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Answers the message windows as they come, in order, noting the text of each.
void AnswerInTurn(std::shared_ptr<std::deque<const char*>> buttons,
                  std::shared_ptr<QStringList> texts) {
    if (buttons->empty()) return;
    WhenModalNamed("TErori", [buttons, texts](QWidget* modal) {
        texts->append(Child<QLabel>(modal, "Text")->text());
        const char* button = buttons->front();
        buttons->pop_front();
        AnswerInTurn(buttons, texts);
        Child<QPushButton>(modal, button)->click();
    });
}

class SagaExportWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { fx.session.grade = core::kGradeAdmin; }
    void TearDown() override { SetSagaFolderChooser({}); }

    // Runs the menu item; the picker is confirmed as it stands, the folder chooser gives
    // `folders` one by one (then cancels), the message windows get `buttons`.
    QStringList Run(Application& app, std::deque<QString> folders,
                    std::deque<const char*> buttons) {
        auto queue = std::make_shared<std::deque<QString>>(std::move(folders));
        SetSagaFolderChooser([queue](QWidget*) {
            if (queue->empty()) return QString();
            const QString next = queue->front();
            queue->pop_front();
            return next;
        });
        auto texts = std::make_shared<QStringList>();
        auto answers = std::make_shared<std::deque<const char*>>(std::move(buttons));
        bool picked = false;
        WhenModalNamed("TAlegeDataF", [&](QWidget* picker) {
            picked = true;
            EXPECT_EQ(Child<QLabel>(picker, "Titlu")->text(), "Export in SAGA");
            EXPECT_TRUE(Child<QComboBox>(picker, "GesAles")->isVisible());
            AnswerInTurn(answers, texts);
            Child<QPushButton>(picker, "AmAles")->click();
        });
        QAction* item = nullptr;
        for (QAction* a : app.main().reportMenu()->actions())
            if (a->text() == "Export in SAGA") item = a;
        EXPECT_NE(item, nullptr);
        if (item) item->trigger();
        EXPECT_TRUE(picked);
        EXPECT_TRUE(queue->empty()) << "every folder offered was asked for";
        EXPECT_TRUE(answers->empty()) << "every expected message was shown";
        return *texts;
    }
    std::vector<std::string> Files(const QString& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.toStdString()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    size_t WorkFilesLeft() {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator(fx.session.programFolder()))
            if (entry.path().extension() == ".dbf") ++count;
        return count;
    }

    testing::SessionFixture fx;
};

TEST_F(SagaExportWindowTest, PlacesTheFilesAndAsksBeforeReplacingThem) {
    Application app(fx.session);
    QTemporaryDir target;
    const QString done = "Exportul s-a facut cu succes!";

    const QStringList first = Run(app, {target.path()}, {"BE4"});
    ASSERT_EQ(first.size(), 1);
    EXPECT_EQ(first[0].trimmed(), done);
    const auto names = Files(target.path());
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].rfind("Articole_", 0), 0u);
    EXPECT_EQ(names[1].rfind("IE_", 0), 0u);
    EXPECT_EQ(names[2].rfind("IN_", 0), 0u);
    EXPECT_EQ(WorkFilesLeft(), 0u);

    // "Nu": the files stay, the user is told so and may choose again (here: cancels).
    const fs::path entries = fs::path(target.path().toStdString()) / names[2];
    std::ofstream(entries, std::ios::trunc) << "kept";
    const QStringList refused = Run(app, {target.path()}, {"BE2", "BE4"});
    ASSERT_EQ(refused.size(), 2);
    EXPECT_TRUE(refused[0].contains(QString::fromStdString(names[2]))) << refused[0].toStdString();
    EXPECT_TRUE(refused[1].contains("pastrate")) << refused[1].toStdString();
    EXPECT_EQ(Bytes(entries), "kept");
    EXPECT_EQ(WorkFilesLeft(), 0u);

    // "Da": replaced.
    EXPECT_EQ(Run(app, {target.path()}, {"BE1", "BE4"}).last().trimmed(), done);
    EXPECT_NE(Bytes(entries), "kept");
    EXPECT_EQ(Files(target.path()).size(), 3u);
    EXPECT_EQ(WorkFilesLeft(), 0u);
}

}  // namespace
}  // namespace tvx::ui

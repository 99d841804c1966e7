// The backup window driven as a user would: saving through it gives an archive core can read,
// an existing archive is only replaced after Da, restore is for grade 0 only, a restore puts
// the saved files back and a damaged archive changes nothing — both asking for a restart.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "../UiTestSupport.h"
#include "core/admin/Backup.h"
#include "core/common/AtomicFile.h"
#include "tables/Database.h"
#include "ui/admin/TForm21.h"
#include "ui/common/Mesaj.h"
#include "ui/common/Progress.h"

namespace tvx::ui {
namespace {

namespace fs = std::filesystem;

// The regular files of a folder with their bytes.
std::map<std::string, std::string> Files(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != tables::kLockFileName)
            files[entry.path().filename().string()] = *core::ReadWholeFile(entry.path());
    return files;
}

class BackupWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TForm21::setPathChoosers([this](QWidget*) { return archive; },
                                 [this](QWidget*) { return archive; });
        QObject::connect(&form, &TForm21::restartNeeded, [this] { ++restarts; });
        std::ofstream(dataDir / "Note.txt") << "inainte";
    }
    void TearDown() override { TForm21::setPathChoosers({}, {}); }

    // Runs `act` once the active modal window passes `is`; gives up after about three seconds.
    // The timer belongs to the window under test, so nothing outlives the test.
    void When(std::function<bool(QWidget*)> is, std::function<void(QWidget*)> act) {
        auto* timer = new QTimer(&form);
        auto tries = std::make_shared<int>(0);
        QObject::connect(timer, &QTimer::timeout, [=] {
            QWidget* modal = QApplication::activeModalWidget();
            const bool shown = modal && modal->isVisible() && is(modal);
            if (!shown && ++*tries < 300) return;
            timer->stop();
            timer->deleteLater();
            if (shown) act(modal);
        });
        timer->start(10);
    }
    void WhenShown(QWidget* window, std::function<void()> act) {
        When([window](QWidget* w) { return w == window; }, [act](QWidget*) { act(); });
    }

    // Answers the coming messages with `buttons` in turn, keeping caption, title and text.
    void Answer(std::vector<const char*> buttons, QStringList* shown) {
        if (buttons.empty()) return;
        TErori& m = TErori::instance();
        WhenShown(&m, [this, &m, buttons, shown] {
            *shown << m.windowTitle() << m.findChild<QLabel*>("Titlu")->text()
                   << m.findChild<QLabel*>("Text")->text();
            Answer({buttons.begin() + 1, buttons.end()}, shown);
            m.findChild<QPushButton*>(buttons.front())->click();
        });
    }

    // Opens the window for `grade`, answers the messages and presses `button`; when the window
    // is still open then, Esc must close it. Returns what the messages showed.
    QStringList Press(int grade, const char* button, std::vector<const char*> answers) {
        QStringList shown;
        WhenShown(&form, [&] {
            Answer(answers, &shown);
            form.findChild<QPushButton*>(button)->click();
            stayedOpen = form.isVisible();
            if (stayedOpen) testing::PressKey(Qt::Key_Escape, &form);
            EXPECT_FALSE(form.isVisible()) << "Esc leaves the window open";
            form.reject();
        });
        form.Open(grade);
        return shown;
    }

    testing::SessionFixture fixture;
    core::Session& session = fixture.session;
    const fs::path dataDir = session.dataDir();
    QTemporaryDir elsewhere;
    QString archive = elsewhere.filePath("copie.tvx");
    fs::path archivePath = archive.toStdString();
    TForm21 form{session};
    int restarts = 0;
    bool stayedOpen = false;  // after the button of the last Press
};

TEST_F(BackupWindowTest, SaveArchivesEveryNonEmptyDataFileWithProgressThenClosesAndSaysSo) {
    std::ofstream(dataDir / "Gol.txt");
    QDir::setCurrent(elsewhere.path());
    QString progressText;
    int progressMaximum = -1;
    bool windowEnabled = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!TContor::instance().isVisible()) return;
        progressText = TContor::instance().text();
        progressMaximum = TContor::instance().maximum();
        windowEnabled = form.isEnabled();
    });
    probe.start(0);
    const QStringList shown = Press(2, "SaveBut", {"BE4"});
    probe.stop();

    EXPECT_EQ(shown, QStringList({"Informatie", "Informatie", "Salvare incheiata cu succes !"}));
    EXPECT_FALSE(stayedOpen);
    std::set<std::string> saved;
    for (const auto& entry : core::CheckArchive(archivePath)) saved.insert(entry.fileName);
    EXPECT_TRUE(saved.count("Note.txt") && saved.count("Fise.dbf") && !saved.count("Gol.txt"));
    EXPECT_EQ(progressText, core::kSaveProgressText);
    EXPECT_EQ(progressMaximum, static_cast<int>(saved.size()));
    EXPECT_FALSE(windowEnabled);
    EXPECT_FALSE(TContor::instance().isVisible());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(fs::path(QDir::currentPath().toStdString()), session.programFolder());
}

TEST_F(BackupWindowTest, AnExistingArchiveIsReplacedOnlyAfterDa) {
    std::ofstream(archivePath) << "vechi";
    const QStringList asked = Press(1, "SaveBut", {"BE2"});
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[2], "Vreti sa inlocuiti salvarea " + archive + "?");
    EXPECT_EQ(core::ReadWholeFile(archivePath), "vechi");
    EXPECT_TRUE(stayedOpen);

    EXPECT_EQ(Press(1, "SaveBut", {"BE1", "BE4"}).size(), 6);
    EXPECT_FALSE(core::CheckArchive(archivePath).empty());
}

TEST_F(BackupWindowTest, OnlyGradeZeroMayRestoreAndTheDefaultDialogAsksForAnArchive) {
    TForm21::setPathChoosers({}, {});
    QStringList seen;
    for (int grade : {1, 2, 0}) {
        WhenShown(&form, [&] {
            auto* restore = form.findChild<QPushButton*>("RestBut");
            seen << QString::number(restore->isEnabled());
            if (restore->isEnabled()) {
                When([](QWidget* w) { return qobject_cast<QFileDialog*>(w) != nullptr; },
                     [&](QWidget* w) {
                         auto* dialog = static_cast<QFileDialog*>(w);
                         seen << dialog->windowTitle() << dialog->nameFilters().join(';')
                              << dialog->defaultSuffix();
                         dialog->reject();
                     });
                restore->click();
            }
            form.reject();
        });
        form.Open(grade);
    }
    EXPECT_EQ(seen, QStringList({"0", "0", "1", "Indicati salvarea precedenta Tarvix 2007.",
                                 "Arhiva Tarvix (*.tvx)", "tvx"}));
}

TEST_F(BackupWindowTest, RestorePutsTheSavedFilesBackAndEndsTheProgram) {
    core::SaveArchive(session.db(), archivePath);
    auto saved = Files(dataDir);
    std::erase_if(saved, [](const auto& file) { return file.second.empty(); });  // not saved
    std::ofstream(dataDir / "Note.txt") << "dupa";
    std::ofstream(dataDir / "Nou.txt") << "nou";

    const QStringList shown = Press(0, "RestBut", {"BE1", "BE4"});
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown[1], "Incarcare date");
    EXPECT_EQ(shown[5], "Restaurare incheiata cu succes !\nVa rog sa porniti programul din nou !");
    EXPECT_EQ(Files(dataDir), saved);
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(session.isOpen());
}

TEST_F(BackupWindowTest, AMissingOrDamagedArchiveChangesNothing) {
    archive = elsewhere.filePath("lipsa.tvx");
    const QStringList missing = Press(0, "RestBut", {"BE4"});
    ASSERT_EQ(missing.size(), 3);
    EXPECT_EQ(missing[2], "Salvarea " + archive + " nu exista !");
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(session.isOpen());
    EXPECT_EQ(restarts, 0);

    archive = elsewhere.filePath("copie.tvx");
    core::SaveArchive(session.db(), archivePath);
    fs::resize_file(archivePath, fs::file_size(archivePath) / 2);
    const auto before = Files(dataDir);
    const QStringList shown = Press(0, "RestBut", {"BE1", "BE4"});
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown[3], "Eroare");
    EXPECT_TRUE(shown[5].contains("damaged")) << shown[5].toStdString();
    EXPECT_EQ(Files(dataDir), before);
    EXPECT_EQ(restarts, 1);
    EXPECT_FALSE(session.isOpen());
    EXPECT_FALSE(stayedOpen);
    EXPECT_FALSE(TContor::instance().isVisible());
}

}  // namespace
}  // namespace tvx::ui

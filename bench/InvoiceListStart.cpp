// tvxbench-start: the program's start to a shown list of outgoing invoices ("FACTURI
// -Iesiri-"), offscreen, on a data directory (a generated shop: tvxgen DIR --scale 1).
//
//   tvxbench-start DATA_DIR [--reps N] [--work DIR]
//
// Each run is a fresh process that builds the application as the program's entry does (the
// one-copy guard under a name of its own, the style, the translations, the session on a
// program folder whose Data is a copy of DATA_DIR, every window), runs the start-up without
// the splash's one-second pause, logs in as ADMIN with the default password, presses the
// outgoing invoices button and waits until the list's grid has painted its rows. The time
// counts from the launch of the process. One untimed run comes first: on a directory never
// opened it makes the users file (the first start's notice is closed), tidies the tables and
// lets the engine save its index files. Prints every run and the median against the 500 ms
// target.
// Exit status 0 on success, 1 on failure, 2 for bad arguments.
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Platform.h"
#include "core/admin/Users.h"
#include "core/app/MainMenu.h"
#include "core/app/Session.h"
#include "core/app/Startup.h"
#include "core/common/Schema.h"
#include "core/sales/InvoiceList.h"
#include "tables/Database.h"
#include "ui/app/Application.h"
#include "ui/app/SingleInstance.h"
#include "ui/app/TForm1.h"
#include "ui/app/TForm3.h"
#include "ui/common/Style.h"
#include "ui/common/Translations.h"

namespace fs = std::filesystem;

namespace {

constexpr long long kTargetUs = 500000;

long long nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Prints "MARK name ns" for the parent, which subtracts its launch time.
void mark(const char* name) {
    std::printf("MARK %s %lld\n", name, nowNs());
    std::fflush(stdout);
}

// Waits for the paint of the invoice grid's rows, then closes the list; any other modal
// window is closed too (the first start's notice) and, after the untimed run, reported.
class ListWatcher : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (done_ || event->type() != QEvent::Paint) return false;
        auto* viewport = qobject_cast<QWidget*>(watched);
        auto* grid = viewport ? qobject_cast<QTableView*>(viewport->parentWidget()) : nullptr;
        if (!grid || grid->objectName() != "SMDBGrid2" || !grid->model() ||
            grid->model()->rowCount() == 0)
            return false;
        done_ = true;
        rows_ = grid->model()->rowCount();
        // Right after this paint has finished.
        QTimer::singleShot(0, [grid] {
            mark("shown");
            QWidget* list = grid->window();
            QMetaObject::invokeMethod(list, "reject");
        });
        return false;
    }
    void closeOtherModals() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal->objectName() == "TFactOutF") return;
        std::printf("NOTICE %s: %s\n", qPrintable(modal->objectName()),
                    qPrintable(modal->windowTitle()));
        QMetaObject::invokeMethod(modal, "reject");
    }
    bool done() const { return done_; }
    int rows() const { return rows_; }

  private:
    bool done_ = false;
    int rows_ = 0;
};

int runChild(int argc, char** argv, const fs::path& programFolder) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(tvx::core::kApplicationTitle);
    QApplication::setApplicationDisplayName(tvx::core::kApplicationTitle);
    // The guard's cost, under a name no running copy of the program answers to.
    tvx::ui::SingleInstance guard(tvx::ui::SingleInstance::defaultKey() + "-bench-" +
                                  QString::number(QCoreApplication::applicationPid()));
    if (guard.handOverToRunning()) return 1;
    guard.listen();
    tvx::ui::ApplyAppStyle(app);
    tvx::ui::InstallQtTranslations(app);
    mark("qt");

    tvx::core::Session session(programFolder);
    tvx::ui::Application windows(session);
    mark("windows");
    ListWatcher watcher;
    app.installEventFilter(&watcher);
    QTimer modals;
    QObject::connect(&modals, &QTimer::timeout, [&] { watcher.closeOtherModals(); });
    modals.start(5);
    QTimer::singleShot(60000, [] {
        std::fprintf(stderr, "tvxbench-start: no invoice list within a minute\n");
        std::_Exit(1);
    });

    bool failed = false;
    QObject::connect(&windows, &tvx::ui::Application::finished,
                     [&](int code) { failed = failed || code != 0; });
    windows.splash().setStartDelay(0);
    windows.start();
    while (!windows.main().isVisible() && !failed)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (failed) {
        std::fprintf(stderr, "tvxbench-start: the start-up failed\n");
        return 1;
    }
    mark("main");
    windows.main().findChild<QLineEdit*>("UserName")->setText("ADMIN");
    windows.main().findChild<QLineEdit*>("Parola")->setText(tvx::core::kDefaultAdminPassword);
    windows.main().LogButClick();
    if (!session.loggedIn()) {
        std::fprintf(stderr, "tvxbench-start: ADMIN with the default password is refused\n");
        return 1;
    }
    mark("login");
    windows.main().button(tvx::core::MainCommand::OutgoingInvoices)->click();  // modal
    if (!watcher.done()) {
        std::fprintf(stderr, "tvxbench-start: the invoice list showed no rows\n");
        return 1;
    }
    std::printf("ROWS %d\nPEAK %lld\n", watcher.rows(), tvx::bench::peakMemoryKiB());
    windows.main().close();
    return 0;
}

// The core steps of the start-up and of the list's opening, timed one by one in a process
// of their own (no windows): where the time of a start goes.
int runSteps(const fs::path& programFolder) {
    tvx::core::Session session(programFolder);
    auto step = [](const char* name, const std::function<void()>& body) {
        const auto start = std::chrono::steady_clock::now();
        body();
        std::printf("STEP %s %lld\n", name,
                    static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::steady_clock::now() - start)
                                               .count()));
    };
    step("opening_the_data_directory", [&] { tvx::core::PrepareData(session); });
    step("company_profile", [&] { session.loadProfile(); });
    step("tidying_the_tables", [&] {
        const std::string problem = tvx::core::TidyTables(session.db());
        if (!problem.empty()) throw std::runtime_error(problem);
    });
    tvx::tables::Database& db = session.db();
    step("buyers_of_the_list", [&] { tvx::core::BuyerChoices(db); });
    tvx::tables::ResultSet invoices;
    step("invoices_of_the_list", [&] { invoices = db.query(tvx::core::InvoiceListQuery(db)); });
    invoices.last();
    step("receipts_of_the_last_invoice", [&] {
        tvx::core::QueryDocumentReceipts(db, invoices.asNumber("IDFACTO").toLongLong());
    });
    return 0;
}

struct Run {
    long long qt = 0, windows = 0, main = 0, login = 0, shown = 0, rows = 0, peakKiB = 0;
    std::string notices;
};

Run parseRun(const std::string& output, long long launchNs) {
    Run r;
    std::istringstream in(output);
    std::string word;
    while (in >> word) {
        if (word == "MARK") {
            std::string name;
            long long ns = 0;
            in >> name >> ns;
            const long long us = (ns - launchNs) / 1000;
            if (name == "qt") r.qt = us;
            if (name == "windows") r.windows = us;
            if (name == "main") r.main = us;
            if (name == "login") r.login = us;
            if (name == "shown") r.shown = us;
        } else if (word == "ROWS") {
            in >> r.rows;
        } else if (word == "PEAK") {
            in >> r.peakKiB;
        } else if (word == "NOTICE") {
            std::string rest;
            std::getline(in, rest);
            r.notices += rest;
        }
    }
    if (r.shown == 0) throw std::runtime_error("the run printed no time:\n" + output);
    return r;
}

std::string ms(long long us) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%lld", us / 1000, (us % 1000) / 100);
    return text;
}

int runParent(const fs::path& self, const fs::path& data, const fs::path& work, int reps) {
    if (!fs::is_directory(data)) throw std::invalid_argument(data.string() + " is no folder");
    const fs::path program = work / "program";
    fs::remove_all(program);
    fs::create_directories(program);
    // The start-up writes to its data directory (settings, the users file, tidied tables):
    // it runs on a copy that keeps the files' times, so that the index files stay current.
    std::fprintf(stderr, "copying the data directory...\n");
    tvx::bench::copyAll(data, program / "Data");
    const std::string command =
        "exec '" + self.string() + "' --child '" + program.string() + "' 2>&1";
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

    std::fprintf(stderr, "untimed first start...\n");
    const Run first = parseRun(tvx::bench::runCapture(command), nowNs());
    std::vector<Run> runs;
    for (int i = 0; i < reps; ++i) {
        std::fprintf(stderr, "start %d of %d...\n", i + 1, reps);
        const long long launch = nowNs();
        runs.push_back(parseRun(tvx::bench::runCapture(command), launch));
    }
    std::fprintf(stderr, "the core steps alone...\n");
    std::istringstream steps(tvx::bench::runCapture("exec '" + self.string() + "' --steps '" +
                                                    program.string() + "' 2>&1"));
    const std::string answered =
        first.notices.empty() ? "" : " (which answered:" + first.notices + ")";
    std::printf(
        "# Start to a shown invoice list (tvxbench-start)\n\nMachine: %s\n\nData directory: %s "
        "(%lld MiB). From the launch of a fresh process (offscreen, the splash's one-second "
        "pause left out, ADMIN logged in at once) to the first paint of the rows of the outgoing "
        "invoice list, after one untimed start%s; ms.\n\n"
        "| Run | Qt ready | windows built | main window shown | logged in | list shown | rows | "
        "peak MiB |\n"
        "|---:|---:|---:|---:|---:|---:|---:|---:|\n",
        tvx::bench::machineSummary(work).c_str(), fs::absolute(data).string().c_str(),
        tvx::bench::sizeOnDisk(data) / (1024 * 1024), answered.c_str());
    std::vector<long long> shown;
    for (size_t i = 0; i < runs.size(); ++i) {
        const Run& r = runs[i];
        std::printf("| %zu | %s | %s | %s | %s | %s | %lld | %lld |\n", i + 1, ms(r.qt).c_str(),
                    ms(r.windows).c_str(), ms(r.main).c_str(), ms(r.login).c_str(),
                    ms(r.shown).c_str(), r.rows, r.peakKiB / 1024);
        if (!r.notices.empty()) std::printf("\nRun %zu showed:%s\n", i + 1, r.notices.c_str());
        shown.push_back(r.shown);
    }
    std::sort(shown.begin(), shown.end());
    const long long median = shown.size() % 2
                                 ? shown[shown.size() / 2]
                                 : (shown[shown.size() / 2 - 1] + shown[shown.size() / 2]) / 2;
    std::printf("\nMedian: %s ms. Target under 500 ms: %s.\n", ms(median).c_str(),
                median < kTargetUs ? "met" : "NOT met");
    std::printf(
        "\nThe core steps of a start and of the list, alone in one more fresh process "
        "(ms):");
    std::string word, name;
    long long us = 0;
    for (const char* separator = " "; steps >> word >> name >> us; separator = ", ") {
        std::replace(name.begin(), name.end(), '_', ' ');
        std::printf("%s%s %s", separator, name.c_str(), ms(us).c_str());
    }
    std::printf(".\n");
    fs::remove_all(program);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::string(argv[1]) == "--child") return runChild(argc, argv, argv[2]);
        if (argc == 3 && std::string(argv[1]) == "--steps") return runSteps(argv[2]);
        if (argc < 2 || argc % 2 != 0) {
            std::fprintf(stderr, "usage: tvxbench-start DATA_DIR [--reps N] [--work DIR]\n");
            return 2;
        }
        int reps = 5;
        fs::path work = fs::temp_directory_path() / "tvxbench-start";
        for (int i = 2; i + 1 < argc; i += 2) {
            const std::string key = argv[i];
            if (key == "--reps")
                reps = std::max(1, std::atoi(argv[i + 1]));
            else if (key == "--work")
                work = argv[i + 1];
            else
                throw std::invalid_argument(key);
        }
        return runParent(tvx::bench::selfExecutable(), argv[1], fs::absolute(work), reps);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "tvxbench-start: bad arguments: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tvxbench-start: %s\n", e.what());
        return 1;
    }
}

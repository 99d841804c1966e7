// The session: opening the data directory, the profile and the logged-in user.
#include "core/app/Session.h"

#include "core/common/Schema.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;

Session::Session(fs::path programFolder)
    : locations(programFolder / "Data"),
      programFolder_(std::move(programFolder)),
      dataDir_(programFolder_ / "Data") {}

Session::~Session() = default;

void Session::open() {
    dataDir_ = EnsureDataDirectory(programFolder_);
    close();  // the directory's lock is released before it is taken again
    db_ = std::make_unique<tables::Database>(dataDir_, programFolder_);
    settings_ = std::make_unique<Settings>(dataDir_ / kSettingsFileName, db_.get());
}

void Session::close() {
    settings_.reset();
    db_.reset();
}

tables::Database& Session::db() {
    if (!db_) throw tables::EngineError("The data directory " + dataDir_.string() + " is not open");
    return *db_;
}

Settings& Session::settings() {
    if (!settings_)
        throw tables::EngineError("The data directory " + dataDir_.string() + " is not open");
    return *settings_;
}

void Session::loadProfile() {
    profile.load(settings());
    locations.load();
}

void Session::logIn(const LoginResult& login) {
    userName = login.user;
    password = login.password;
    grade = login.loggedIn ? login.grade : kGradeNecunoscut;
}

void Session::logOut() {
    password.clear();
    grade = kGradeNecunoscut;
}

}  // namespace tvx::core

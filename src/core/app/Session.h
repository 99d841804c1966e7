// The running program's shared state (core/app): the program folder and its data
// directory, the engine over that directory, the settings file, the company profile and
// stock locations that the administration window keeps, and the logged-in user. One
// session exists for the whole run; every window reads it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/admin/CompanyProfile.h"
#include "core/admin/Locations.h"
#include "core/admin/Users.h"
#include "core/common/Settings.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

constexpr const char* kSettingsFileName = "Tvx2010.set";
constexpr const char* kApplicationTitle = "Tarvix 2010";

class Session {
  public:
    // Nothing is touched on disk until open(); the data directory is `programFolder`/Data.
    explicit Session(std::filesystem::path programFolder);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::filesystem::path& programFolder() const { return programFolder_; }
    const std::filesystem::path& dataDir() const { return dataDir_; }

    // Creates the data directory when missing and opens the engine on it (an unfinished
    // transaction of an earlier run is rolled back here). Throws EngineError.
    void open();
    bool isOpen() const { return db_ != nullptr; }
    // Closes the engine (before a restore replaces the data directory's files).
    void close();
    tables::Database& db();
    Settings& settings();

    // Reads the company profile and the location list again from the data directory.
    void loadProfile();
    CompanyProfile profile;
    Locations locations;

    // The logged-in user; grade 3 (NECUNOSCUT) while nobody is logged in.
    std::string userName;
    std::string password;
    int grade = kGradeNecunoscut;
    bool loggedIn() const { return grade != kGradeNecunoscut; }
    void logIn(const LoginResult& login);
    void logOut();

  private:
    std::filesystem::path programFolder_;
    std::filesystem::path dataDir_;
    std::unique_ptr<tables::Database> db_;
    std::unique_ptr<Settings> settings_;
};

}  // namespace tvx::core

// Users (core/admin): the users file "s.mpg" of the data directory (fixed 67-byte records),
// the login against it with the record written on the very first start, and the editable
// copy of the users in the work table u.dbf that the administration window shows and
// finally writes back whole.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/admin/AdminCommon.h"

namespace tvx::tables {
class Database;
}

namespace tvx::core {

enum Grade { kGradeAdmin = 0, kGradeContabil = 1, kGradeCasier = 2, kGradeNecunoscut = 3 };

// "ADMIN", "CONTABIL", "CASIER", "NECUNOSCUT"; any other grade reads as "NECUNOSCUT".
std::string GradeName(int grade);
// The grade of a name above; anything else is grade 3.
int GradeFromName(const std::string& name);

struct UserRecord {
    std::string name;      // at most 32 bytes
    std::string password;  // at most 32 bytes
    int grade = kGradeNecunoscut;
};

constexpr size_t kUserRecordSize = 67;
constexpr const char* kUsersFileName = "s.mpg";

// All records in file order. Throws EngineError naming the file when it cannot be read or
// is damaged (a size that is not a whole number of records, a length above 32).
std::vector<UserRecord> ReadUsersFile(const std::filesystem::path& file);
// Rewrites the file whole (atomically) with `users`; names and passwords are cut to 32 bytes.
void WriteUsersFile(const std::filesystem::path& file, const std::vector<UserRecord>& users);

// The login of the main window.
struct LoginResult {
    bool loggedIn = false;
    int grade = kGradeNecunoscut;
    std::string nameField;  // the cleaned name, put back into the name field
    std::string user;       // credentials of the session (ADMIN on the first start)
    std::string password;
    std::optional<Message> firstStart;  // the "PRIMA PORNIRE" notice, when the file was made
};

constexpr const char* kVersionText = "Tarvix 2.51";
constexpr const char* kDefaultAdminPassword = "735";

// Cleans the typed name, creates the users file with ADMIN/735 when it is missing, and
// matches every record in order (exact name and password; a later match wins). A grade of
// 3 means the login is refused, silently.
LoginResult LogIn(const std::filesystem::path& dataDir, const std::string& typedName,
                  const std::string& typedPassword);
// The main window's title after a login: version text, "  >> " and the name field.
std::string LoggedInTitle(const LoginResult& login);

// The editable users of the administration window, kept in u.dbf of the program folder.
class UserList {
  public:
    // Creates u.dbf afresh in `programFolder` from the users file (a missing file gives no
    // rows). Throws EngineError when the users file is damaged.
    UserList(tables::Database& db, const std::filesystem::path& programFolder,
             std::filesystem::path usersFile);
    ~UserList();  // deletes u.dbf
    UserList(const UserList&) = delete;
    UserList& operator=(const UserList&) = delete;

    // The rows as the grid shows them, ordered by name.
    std::vector<UserRecord> rows() const;

    // Adds a user of grade CONTABIL or CASIER (the dialog has checked name and password).
    void add(const std::string& name, const std::string& password, int grade);
    // Refusal of "Modifica Utilizator" for someone other than ADMIN changing another user.
    static std::optional<Message> modifyRefusal(const std::string& loggedUser, int loggedGrade,
                                                const std::string& rowName);
    // Whether the modify dialog shows the grade choice.
    static bool gradeChoiceShown(int loggedGrade, const std::string& rowName);
    // New password and grade of a user; the user ADMIN always keeps grade ADMIN.
    void modify(const std::string& name, const std::string& password, int grade);
    // "Sterge Utilizator": the balloon for an empty grid, else the confirmation question.
    std::optional<FieldProblem> deleteProblem() const;
    static Message deleteQuestion(const std::string& name);
    void remove(const std::string& name);

    // Rewrites the users file from the rows in grid order.
    void save() const;
    const std::filesystem::path& usersFile() const { return usersFile_; }

  private:
    tables::Database& db_;
    std::filesystem::path usersFile_;
    std::filesystem::path workFile_;
};

}  // namespace tvx::core

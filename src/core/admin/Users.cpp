// The users file, the login and the users' work table of the administration window.
#include "core/admin/Users.h"

#include <algorithm>
#include <system_error>

#include "core/common/AtomicFile.h"
#include "core/common/Schema.h"
#include "core/common/TableLayouts.h"
#include "core/common/TextRoutines.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {

namespace fs = std::filesystem;
using tables::EngineError;

namespace {

constexpr size_t kMaxText = 32;

void PutText(std::string& record, size_t at, const std::string& text) {
    const std::string cut = text.substr(0, kMaxText);
    record[at] = static_cast<char>(cut.size());
    record.replace(at + 1, cut.size(), cut);
}

}  // namespace

std::string GradeName(int grade) {
    switch (grade) {
        case kGradeAdmin:
            return "ADMIN";
        case kGradeContabil:
            return "CONTABIL";
        case kGradeCasier:
            return "CASIER";
        default:
            return "NECUNOSCUT";
    }
}

int GradeFromName(const std::string& name) {
    for (int grade = kGradeAdmin; grade < kGradeNecunoscut; ++grade)
        if (GradeName(grade) == name) return grade;
    return kGradeNecunoscut;
}

std::vector<UserRecord> ReadUsersFile(const fs::path& file) {
    const std::optional<std::string> content = ReadWholeFile(file);
    if (!content) throw EngineError("The users file " + file.string() + " does not exist");
    const std::string& bytes = *content;
    // Only whole records count: a torn last record is ignored, and a length byte beyond
    // the 32 places of its text is read as 32.
    std::vector<UserRecord> users;
    for (size_t at = 0; at + kUserRecordSize <= bytes.size(); at += kUserRecordSize) {
        const size_t nameLength = std::min<size_t>(static_cast<unsigned char>(bytes[at]), kMaxText);
        const size_t passwordLength =
            std::min<size_t>(static_cast<unsigned char>(bytes[at + 33]), kMaxText);
        UserRecord user;
        user.name = bytes.substr(at + 1, nameLength);
        user.password = bytes.substr(at + 34, passwordLength);
        user.grade = static_cast<unsigned char>(bytes[at + 66]);
        users.push_back(std::move(user));
    }
    return users;
}

void WriteUsersFile(const fs::path& file, const std::vector<UserRecord>& users) {
    std::string bytes;
    for (const UserRecord& user : users) {
        std::string record(kUserRecordSize, '\0');
        PutText(record, 0, user.name);
        PutText(record, 33, user.password);
        record[66] = static_cast<char>(user.grade);
        bytes += record;
    }
    WriteFileAtomically(file, bytes);
}

LoginResult LogIn(const fs::path& dataDir, const std::string& typedName,
                  const std::string& typedPassword) {
    LoginResult result;
    result.nameField = CleanText(typedName);
    result.user = result.nameField.substr(0, kMaxText);
    result.password = typedPassword.substr(0, kMaxText);
    const fs::path file = dataDir / kUsersFileName;
    std::error_code ec;
    if (!fs::exists(file, ec)) {
        WriteUsersFile(file, {{"ADMIN", kDefaultAdminPassword, kGradeAdmin}});
        result.firstStart =
            Message{"PRIMA PORNIRE",
                    std::string("Numele este ADMIN si parola este ") + kDefaultAdminPassword +
                        ".\rPuteti modifica parola de la Setari!",
                    MessageKind::Information};
        result.user = "ADMIN";
        result.password = kDefaultAdminPassword;
    }
    for (const UserRecord& record : ReadUsersFile(file))
        if (record.name == result.user && record.password == result.password)
            result.grade = record.grade;
    result.loggedIn = result.grade != kGradeNecunoscut;
    return result;
}

std::string LoggedInTitle(const LoginResult& login) {
    return std::string(kVersionText) + "  >> " + login.nameField;
}

UserList::UserList(tables::Database& db, const fs::path& programFolder, fs::path usersFile)
    : db_(db), usersFile_(std::move(usersFile)), workFile_(programFolder / "u.dbf") {
    std::error_code ec;
    std::vector<UserRecord> users;
    if (fs::exists(usersFile_, ec)) users = ReadUsersFile(usersFile_);
    const std::string table = QuotedPath(workFile_);
    db_.atomically([&] {
        if (db_.tableExists(workFile_)) db_.execute("DROP TABLE " + table);
        db_.execute(createTableStatement(tableLayout("u"), workFile_));
        for (const UserRecord& user : users)
            db_.execute("INSERT INTO " + table + " (NUME, PAROLA, GRAD) VALUES (:n, :p, :g)",
                        {{"n", user.name}, {"p", user.password}, {"g", GradeName(user.grade)}});
    });
}

UserList::~UserList() {
    try {
        if (db_.tableExists(workFile_)) db_.execute("DROP TABLE " + QuotedPath(workFile_));
    } catch (const EngineError&) {
        // A work table left behind is deleted when the window opens next.
    }
}

std::vector<UserRecord> UserList::rows() const {
    tables::ResultSet rs = db_.query("SELECT * FROM " + QuotedPath(workFile_) + " ORDER BY NUME");
    std::vector<UserRecord> users;
    for (rs.first(); !rs.eof(); rs.next())
        users.push_back({rs.asText("NUME"), rs.asText("PAROLA"), GradeFromName(rs.asText("GRAD"))});
    return users;
}

void UserList::add(const std::string& name, const std::string& password, int grade) {
    db_.execute(
        "INSERT INTO " + QuotedPath(workFile_) + " (NUME, PAROLA, GRAD) VALUES (:n, :p, :g)",
        {{"n", name}, {"p", password}, {"g", GradeName(grade)}});
}

std::optional<Message> UserList::modifyRefusal(const std::string& loggedUser, int loggedGrade,
                                               const std::string& rowName) {
    if (loggedGrade == kGradeAdmin || loggedUser == rowName) return std::nullopt;
    return Message{"Modificare utilizator!", "Nu aveti dreptul sa modificati alti Utilizatori!",
                   MessageKind::Error};
}

bool UserList::gradeChoiceShown(int loggedGrade, const std::string& rowName) {
    return loggedGrade == kGradeAdmin && rowName != "ADMIN";
}

void UserList::modify(const std::string& name, const std::string& password, int grade) {
    const std::string gradeName = name == "ADMIN" ? "ADMIN" : GradeName(grade);
    db_.execute("UPDATE " + QuotedPath(workFile_) + " SET GRAD=:g, PAROLA=:p WHERE NUME=:n",
                {{"n", name}, {"p", password}, {"g", gradeName}});
}

std::optional<FieldProblem> UserList::deleteProblem() const {
    if (!rows().empty()) return std::nullopt;
    return FieldProblem{"Lista Utilizatori", "Nu prea mai aveti ce sterge..."};
}

Message UserList::deleteQuestion(const std::string& name) {
    return {"Stergere utilizator", "Chiar il stergem pe " + name + "?", MessageKind::Warning};
}

void UserList::remove(const std::string& name) {
    db_.execute("DELETE FROM " + QuotedPath(workFile_) + " WHERE NUME=:n", {{"n", name}});
}

void UserList::save() const {
    WriteUsersFile(usersFile_, rows());
}

}  // namespace tvx::core

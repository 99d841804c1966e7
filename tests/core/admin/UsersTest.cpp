// The users file byte layout, the login with its first-start record, and the users' work
// table of the administration window.
#include <gtest/gtest.h>

#include <fstream>

#include "../CoreTestSupport.h"
#include "core/admin/Users.h"
#include "tables/Database.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    return testsupport::FileBytes(file);
}

class UsersTest : public ::testing::Test {
  protected:
    fs::path data() const { return dir_.path() / "Data"; }
    fs::path usersFile() const { return data() / "s.mpg"; }
    void SetUp() override { fs::create_directories(data()); }
    testsupport::ScratchDir dir_;
};

TEST_F(UsersTest, RecordsAreSixtySevenBytesWithLengthPrefixes) {
    WriteUsersFile(usersFile(), {{"ION", "PAROLA1", kGradeCasier},
                                 {std::string(40, 'N'), std::string(35, 'P'), kGradeContabil}});
    const std::string bytes = Bytes(usersFile());
    ASSERT_EQ(bytes.size(), 134u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes.substr(1, 3), "ION");
    EXPECT_EQ(bytes[33], 7);
    EXPECT_EQ(bytes.substr(34, 7), "PAROLA1");
    EXPECT_EQ(bytes[66], kGradeCasier);
    EXPECT_EQ(bytes[67], 32);  // cut to 32
    EXPECT_EQ(bytes[67 + 33], 32);
    EXPECT_EQ(bytes[67 + 66], kGradeContabil);

    const auto users = ReadUsersFile(usersFile());
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].name, "ION");
    EXPECT_EQ(users[0].password, "PAROLA1");
    EXPECT_EQ(users[1].name, std::string(32, 'N'));
    EXPECT_EQ(users[1].grade, kGradeContabil);
}

TEST_F(UsersTest, ATornOrOddFileGivesItsWholeRecords) {
    std::string record(67, '\0');
    record[0] = 40;  // beyond the 32 places of the name: read as 32
    std::fill(record.begin() + 1, record.begin() + 33, 'A');
    record[33] = 3;
    record.replace(34, 3, "XYZ");
    record[66] = kGradeCasier;
    std::ofstream(usersFile(), std::ios::binary | std::ios::trunc)
        << record << std::string(66, 'Q');
    const auto users = ReadUsersFile(usersFile());
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].name, std::string(32, 'A'));
    EXPECT_EQ(users[0].password, "XYZ");
    EXPECT_EQ(users[0].grade, kGradeCasier);
    std::ofstream(usersFile(), std::ios::binary | std::ios::trunc) << std::string(66, '\0');
    EXPECT_TRUE(ReadUsersFile(usersFile()).empty());
}

TEST_F(UsersTest, FirstStartCreatesAdminAndLogsInWhateverIsTyped) {
    const LoginResult login = LogIn(data(), "  MARIA   POP ", "X");
    ASSERT_TRUE(login.loggedIn);
    EXPECT_EQ(login.grade, kGradeAdmin);
    EXPECT_EQ(login.user, "ADMIN");
    EXPECT_EQ(login.password, "735");
    ASSERT_TRUE(login.firstStart);
    EXPECT_EQ(login.firstStart->title, "PRIMA PORNIRE");
    EXPECT_EQ(login.firstStart->text,
              "Numele este ADMIN si parola este 735.\rPuteti modifica parola de la Setari!");
    EXPECT_EQ(LoggedInTitle(login), "Tarvix 2.51  >> MARIA POP");
    const auto users = ReadUsersFile(usersFile());
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].name, "ADMIN");
    EXPECT_EQ(users[0].password, "735");
    EXPECT_EQ(users[0].grade, kGradeAdmin);

    const LoginResult second = LogIn(data(), "MARIA POP", "X");
    EXPECT_FALSE(second.loggedIn);
    EXPECT_FALSE(second.firstStart);
}

TEST_F(UsersTest, LoginMatchesNameAndPasswordExactlyAndTheLastMatchWins) {
    WriteUsersFile(usersFile(), {{"ION", "A1", kGradeContabil},
                                 {"IONEL", "B2", kGradeAdmin},
                                 {"GHITA", "C3", kGradeNecunoscut},
                                 {"ION", "A1", kGradeCasier}});
    LoginResult ion = LogIn(data(), " ION ", "A1");
    EXPECT_TRUE(ion.loggedIn);
    EXPECT_EQ(ion.grade, kGradeCasier);
    EXPECT_EQ(ion.nameField, "ION");
    EXPECT_FALSE(LogIn(data(), "ION", "a1").loggedIn);
    EXPECT_FALSE(LogIn(data(), "ION", "A1 ").loggedIn);
    EXPECT_FALSE(LogIn(data(), "IO", "A1").loggedIn);
    EXPECT_FALSE(LogIn(data(), "GHITA", "C3").loggedIn);  // grade 3 never logs in
    EXPECT_EQ(LogIn(data(), "IONEL", "B2").grade, kGradeAdmin);
}

class UserListTest : public UsersTest {
  protected:
    void SetUp() override {
        UsersTest::SetUp();
        WriteUsersFile(usersFile(), {{"ZENO", "Z", kGradeCasier}, {"ADMIN", "735", kGradeAdmin}});
        db_ = std::make_unique<tables::Database>(data(), dir_.path());
    }
    std::unique_ptr<tables::Database> db_;
};

TEST_F(UserListTest, EditsReachTheFileOnlyOnSaveInNameOrder) {
    const std::string before = Bytes(usersFile());
    {
        UserList list(*db_, dir_.path(), usersFile());
        EXPECT_TRUE(fs::exists(dir_.path() / "u.dbf"));
        auto rows = list.rows();
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].name, "ADMIN");
        list.add("MARIA", "M1", kGradeContabil);
        list.modify("ADMIN", "NOU", kGradeCasier);  // ADMIN keeps its grade
        list.remove("ZENO");
        EXPECT_EQ(Bytes(usersFile()), before);  // nothing written yet ("Renunt")
        list.save();
    }
    EXPECT_FALSE(fs::exists(dir_.path() / "u.dbf"));
    const auto users = ReadUsersFile(usersFile());
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].name, "ADMIN");
    EXPECT_EQ(users[0].password, "NOU");
    EXPECT_EQ(users[0].grade, kGradeAdmin);
    EXPECT_EQ(users[1].name, "MARIA");
    EXPECT_EQ(users[1].grade, kGradeContabil);
}

TEST_F(UserListTest, RightsAndDeleteChecks) {
    EXPECT_FALSE(UserList::modifyRefusal("ADMIN", kGradeAdmin, "ZENO"));
    EXPECT_FALSE(UserList::modifyRefusal("ZENO", kGradeCasier, "ZENO"));
    const auto refusal = UserList::modifyRefusal("ZENO", kGradeContabil, "ADMIN");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text, "Nu aveti dreptul sa modificati alti Utilizatori!");
    EXPECT_TRUE(UserList::gradeChoiceShown(kGradeAdmin, "ZENO"));
    EXPECT_FALSE(UserList::gradeChoiceShown(kGradeAdmin, "ADMIN"));
    EXPECT_FALSE(UserList::gradeChoiceShown(kGradeContabil, "ZENO"));

    UserList list(*db_, dir_.path(), usersFile());
    EXPECT_FALSE(list.deleteProblem());
    list.remove("ADMIN");
    list.remove("ZENO");
    const auto problem = list.deleteProblem();
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->message, "Nu prea mai aveti ce sterge...");
    list.save();
    EXPECT_EQ(fs::file_size(usersFile()), 0u);
    EXPECT_FALSE(LogIn(data(), "ADMIN", "735").loggedIn);  // nobody can log in now
}

}  // namespace
}  // namespace tvx::core

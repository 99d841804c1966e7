// Lexer, parser and script splitter of the local SQL dialect: tokens and positions, the
// shape of the trees for every statement form, error messages with positions, and a
// robustness loop over random and truncated input.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "tables/EngineError.h"
#include "tables/sql/Lexer.h"
#include "tables/sql/Parser.h"

using namespace tvx::tables;
using namespace tvx::tables::sql;

namespace {

template <typename T>
T parseAs(std::string_view text) {
    Statement statement = parseStatement(text);
    T* typed = std::get_if<T>(&statement);
    if (typed == nullptr) throw std::runtime_error("other statement kind: " + std::string(text));
    return std::move(*typed);
}

// Compact prefix form of an expression tree, for comparing shapes.
std::string show(const Expr& e) {
    const auto list = [&](std::string head, size_t from) {
        for (size_t i = from; i < e.args.size(); ++i) head += " " + show(*e.args[i]);
        return "(" + head + ")";
    };
    switch (e.kind) {
        case ExprKind::Literal:
            if (e.literal.isNull()) return "NULL";
            if (e.literal.isText()) return "'" + e.literal.text() + "'";
            return e.literal.number().toString();
        case ExprKind::Param:
            return ":" + e.name;
        case ExprKind::Column:
            return e.qualifier.empty() ? e.name : e.qualifier + "." + e.name;
        case ExprKind::Unary:
        case ExprKind::Binary:
            return list(e.op, 0);
        case ExprKind::Like:
            return list(e.negated ? "NOT LIKE" : "LIKE", 0);
        case ExprKind::IsNull:
            return list(e.negated ? "IS NOT NULL" : "IS NULL", 0);
        case ExprKind::InList:
            return list(e.negated ? "NOT IN" : "IN", 0);
        case ExprKind::Aggregate:
            if (e.args.empty()) return e.name + "(*)";
            return e.name + (e.distinct ? "(DISTINCT " : "(") + show(*e.args[0]) + ")";
        case ExprKind::Cast:
            return "CAST(" + show(*e.args[0]) + " AS CHAR(" + std::to_string(e.castWidth) + "))";
        case ExprKind::Subquery:
            return "(SELECT)";
    }
    return "?";
}

// The first select item of "SELECT <text> FROM T", shown.
std::string exprOf(const std::string& text) {
    auto select = parseAs<SelectStmt>("SELECT " + text + " FROM T");
    return select.items.at(0).expr ? show(*select.items[0].expr) : "*";
}

std::string errorOf(std::string_view text) {
    try {
        parseStatement(text);
    } catch (const EngineError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

// ---- lexer ----

TEST(SqlLexer, ClassifiesTokensAndCountsPositionsInCharacters) {
    // "ăî" are two characters of two bytes each.
    auto tokens = tokenize("SELECT 'ăî' , :Nr,12.50 != \"x\"\r\n<=");
    ASSERT_EQ(tokens.size(), 10u);
    EXPECT_EQ(tokens[0].kind, TokenKind::Identifier);
    EXPECT_EQ(tokens[1].kind, TokenKind::String);
    EXPECT_EQ(tokens[1].text, "ăî");
    EXPECT_EQ(tokens[1].quote, '\'');
    EXPECT_EQ(tokens[2].position, 13);  // ',' after 6 + 1 + 4 + 1 characters
    EXPECT_EQ(tokens[3].kind, TokenKind::Param);
    EXPECT_EQ(tokens[3].text, "Nr");
    EXPECT_EQ(tokens[5].kind, TokenKind::Number);
    EXPECT_EQ(tokens[5].text, "12.50");
    EXPECT_EQ(tokens[5].position, 19);
    EXPECT_EQ(tokens[6].text, "<>");  // != is the same operator
    EXPECT_EQ(tokens[7].quote, '"');
    EXPECT_EQ(tokens[7].text, "x");
    EXPECT_EQ(tokens[8].text, "<=");
    EXPECT_EQ(tokens[8].position, 33);  // CR LF count as two blank characters
    EXPECT_EQ(tokens[9].kind, TokenKind::End);
}

TEST(SqlLexer, RejectsMalformedTokensWithTheirPosition) {
    EXPECT_EQ(errorOf("SELECT 'abc FROM T"), "Syntax error: unterminated string at position 8");
    EXPECT_EQ(errorOf("SELECT 1.2.3 FROM T"), "Syntax error: bad number '1.2.3' at position 8");
    EXPECT_EQ(errorOf("SELECT 12ab FROM T"), "Syntax error: bad number '12ab' at position 8");
    EXPECT_EQ(errorOf("SELECT A @ B"), "Syntax error: unexpected '@' at position 10");
    EXPECT_EQ(errorOf("SELECT : FROM T"),
              "Syntax error: expected a parameter name after ':' at position 8");
    EXPECT_EQ(errorOf("SELECT \x01"), "Syntax error: unexpected '\\x01' at position 8");
}

// ---- expressions ----

TEST(SqlExpressions, FollowPrecedenceAndAssociativity) {
    EXPECT_EQ(exprOf("a + b * c"), "(+ A (* B C))");
    EXPECT_EQ(exprOf("(a + b) * c"), "(* (+ A B) C)");
    EXPECT_EQ(exprOf("a - b - c"), "(- (- A B) C)");
    EXPECT_EQ(exprOf("a / b * c"), "(* (/ A B) C)");
    EXPECT_EQ(exprOf("-a * b"), "(* (- A) B)");
    EXPECT_EQ(exprOf("+a - -3"), "(- A (- 3))");
    EXPECT_EQ(exprOf("NOT a = b AND c"), "(AND (NOT (= A B)) C)");
    EXPECT_EQ(exprOf("a OR b AND c"), "(OR A (AND B C))");
    EXPECT_EQ(exprOf("a AND b OR c AND d"), "(OR (AND A B) (AND C D))");
    EXPECT_EQ(exprOf("a + 1 >= b * 2 OR NOT NOT c"), "(OR (>= (+ A 1) (* B 2)) (NOT (NOT C)))");
}

TEST(SqlExpressions, ComparisonsLikeIsNullAndInLists) {
    EXPECT_EQ(exprOf("a <> b"), "(<> A B)");
    EXPECT_EQ(exprOf("a != b"), "(<> A B)");
    EXPECT_EQ(exprOf("a<=b"), "(<= A B)");
    EXPECT_EQ(exprOf("a = NULL"), "(= A NULL)");
    EXPECT_EQ(exprOf("DOCJUS LIKE 'BON%'"), "(LIKE DOCJUS 'BON%')");
    EXPECT_EQ(exprOf("DOCJUS NOT LIKE \"A\" + B"), "(NOT LIKE DOCJUS (+ 'A' B))");
    EXPECT_EQ(exprOf("a IS NULL"), "(IS NULL A)");
    EXPECT_EQ(exprOf("a is not null"), "(IS NOT NULL A)");
    EXPECT_EQ(exprOf("x IN (1, 'b', :p)"), "(IN X 1 'b' :P)");
    EXPECT_EQ(exprOf("x NOT IN (1)"), "(NOT IN X 1)");
    EXPECT_EQ(exprOf("NOT x IN (1) OR y"), "(OR (NOT (IN X 1)) Y)");
}

TEST(SqlExpressions, NamesLiteralsAndParameters) {
    auto select = parseAs<SelectStmt>("select p.Valoare, CATEg, 12.50, 'Ab c', :idNir FROM T");
    const Expr& qualified = *select.items[0].expr;
    EXPECT_EQ(qualified.kind, ExprKind::Column);
    EXPECT_EQ(qualified.qualifier, "P");
    EXPECT_EQ(qualified.name, "VALOARE");
    EXPECT_EQ(qualified.position, 8);
    EXPECT_EQ(select.items[1].expr->name, "CATEG");
    EXPECT_TRUE(select.items[1].expr->qualifier.empty());
    const Value& number = select.items[2].expr->literal;
    ASSERT_TRUE(number.isNumber());
    EXPECT_EQ(number.number().scale(), 2);  // the written scale is kept
    EXPECT_EQ(number.number().toString(), "12.50");
    EXPECT_EQ(select.items[3].expr->literal.text(), "Ab c");  // exact, no upper-casing
    EXPECT_EQ(select.items[4].expr->kind, ExprKind::Param);
    EXPECT_EQ(select.items[4].expr->name, "IDNIR");
    // Operators carry the position of the operator for error messages.
    auto sum = parseAs<SelectStmt>("SELECT A  +  B FROM T");
    EXPECT_EQ(sum.items[0].expr->position, 11);
}

TEST(SqlExpressions, AggregatesAndCast) {
    EXPECT_EQ(exprOf("SUM(P.VALOARE)"), "SUM(P.VALOARE)");
    EXPECT_EQ(exprOf("count(*)"), "COUNT(*)");
    EXPECT_EQ(exprOf("COUNT(DISTINCT CATEG)"), "COUNT(DISTINCT CATEG)");
    EXPECT_EQ(exprOf("(SUM(VMF)+SUM(VAC))"), "(+ SUM(VMF) SUM(VAC))");
    EXPECT_EQ(exprOf("MAX(A) - MIN(A) + AVG(A)"), "(+ (- MAX(A) MIN(A)) AVG(A))");
    EXPECT_EQ(exprOf("CAST('achitat ' + FURNIZOR AS CHAR(80))"),
              "CAST((+ 'achitat ' FURNIZOR) AS CHAR(80))");
    EXPECT_EQ(exprOf("cast(x as varchar(5))"), "CAST(X AS CHAR(5))");
    EXPECT_EQ(errorOf("SELECT CAST(X AS DECIMAL(5,2)) FROM T"),
              "Syntax error: unsupported CAST type 'DECIMAL' at position 18");
    EXPECT_EQ(errorOf("SELECT CAST(X AS CHAR(0)) FROM T"),
              "Syntax error: bad width CHAR(0) at position 18");
    EXPECT_EQ(errorOf("SELECT UPPER(X) FROM T"),
              "Syntax error: unknown function 'UPPER' at position 8");
    EXPECT_EQ(errorOf("SELECT SUM(*) FROM T"), "Syntax error: unexpected '*' at position 12");
}

// ---- SELECT ----

TEST(SqlSelect, ItemsAliasesAndStars) {
    auto select = parseAs<SelectStmt>(
        "SELECT DISTINCT *, c.*, TOTAL AS S1, VMF+VAC SX, NR FROM \"/d/CapNIR.dbf\" C");
    EXPECT_TRUE(select.distinct);
    ASSERT_EQ(select.items.size(), 5u);
    EXPECT_TRUE(select.items[0].star);
    EXPECT_TRUE(select.items[0].starQualifier.empty());
    EXPECT_TRUE(select.items[1].star);
    EXPECT_EQ(select.items[1].starQualifier, "C");
    EXPECT_EQ(select.items[2].alias, "S1");
    EXPECT_EQ(select.items[3].alias, "SX");
    EXPECT_EQ(show(*select.items[3].expr), "(+ VMF VAC)");
    EXPECT_TRUE(select.items[4].alias.empty());  // FROM is no alias
    ASSERT_EQ(select.from.size(), 1u);
    EXPECT_EQ(select.from[0].name, "/d/CapNIR.dbf");
    EXPECT_TRUE(select.from[0].quoted);
    EXPECT_EQ(select.from[0].alias, "C");
    EXPECT_EQ(select.from[0].join, JoinKind::First);
}

TEST(SqlSelect, TablesJoinsAndAliases) {
    auto select = parseAs<SelectStmt>(
        "SELECT * FROM FactIn, 'x/Fise.dbf' AS f JOIN CapFise c ON F.IDCAP = C.IDCAP "
        "INNER JOIN Timp ON 1=1 LEFT JOIN \"/d/ProdNIR.dbf\" P ON P.IDNIR = C.IDNIR "
        "LEFT OUTER JOIN u ON X=1 WHERE Y=2");
    ASSERT_EQ(select.from.size(), 6u);
    EXPECT_EQ(select.from[0].name, "FactIn");  // bare names keep their case
    EXPECT_FALSE(select.from[0].quoted);
    EXPECT_TRUE(select.from[0].alias.empty());
    EXPECT_EQ(select.from[1].join, JoinKind::Comma);
    EXPECT_EQ(select.from[1].alias, "F");
    EXPECT_TRUE(select.from[1].quoted);
    EXPECT_EQ(select.from[2].join, JoinKind::Inner);
    EXPECT_EQ(show(*select.from[2].on), "(= F.IDCAP C.IDCAP)");
    EXPECT_EQ(select.from[3].join, JoinKind::Inner);
    EXPECT_TRUE(select.from[3].alias.empty());  // ON is no alias
    EXPECT_EQ(select.from[4].join, JoinKind::Left);
    EXPECT_EQ(select.from[4].alias, "P");
    EXPECT_EQ(select.from[4].position, 110);
    EXPECT_EQ(select.from[5].join, JoinKind::Left);
    EXPECT_TRUE(select.from[5].alias.empty());
    EXPECT_EQ(show(*select.from[5].on), "(= X 1)");
    EXPECT_EQ(show(*select.where), "(= Y 2)");
}

TEST(SqlSelect, WhereGroupHavingOrder) {
    auto select = parseAs<SelectStmt>(
        "SELECT CATEG, SUM(VALOARE) FROM ProdNIR WHERE IDNIR = 12 GROUP BY CATEG, UM "
        "HAVING COUNT(*) > 1 ORDER BY 2 DESC, CATEG ASC, UM");
    EXPECT_EQ(show(*select.where), "(= IDNIR 12)");
    ASSERT_EQ(select.groupBy.size(), 2u);
    EXPECT_EQ(show(*select.groupBy[1]), "UM");
    EXPECT_EQ(show(*select.having), "(> COUNT(*) 1)");
    ASSERT_EQ(select.orderBy.size(), 3u);
    EXPECT_EQ(select.orderBy[0].expr->kind, ExprKind::Literal);  // a position
    EXPECT_EQ(show(*select.orderBy[0].expr), "2");
    EXPECT_TRUE(select.orderBy[0].descending);
    EXPECT_FALSE(select.orderBy[1].descending);
    EXPECT_FALSE(select.orderBy[2].descending);
}

TEST(SqlSelect, SubSelectsAsValuesNestedAndCorrelated) {
    auto select = parseAs<SelectStmt>(
        "SELECT NR, (SELECT MAX(F.NRDOC) FROM Fise F WHERE F.IDCAP = C.IDCAP AND F.DINDATA = "
        "(SELECT MAX(DINDATA) FROM Fise)) AS ULTIM FROM CapFise C "
        "WHERE STOC > (SELECT SUM(CANTOUT) FROM Fise G WHERE G.IDCAP = C.IDCAP)");
    const Expr& value = *select.items[1].expr;
    ASSERT_EQ(value.kind, ExprKind::Subquery);
    ASSERT_TRUE(value.subquery);
    EXPECT_EQ(select.items[1].alias, "ULTIM");
    EXPECT_EQ(show(*value.subquery->where), "(AND (= F.IDCAP C.IDCAP) (= F.DINDATA (SELECT)))");
    const Expr& inner = *value.subquery->where->args[1]->args[1];
    EXPECT_EQ(show(*inner.subquery->items[0].expr), "MAX(DINDATA)");
    EXPECT_EQ(show(*select.where), "(> STOC (SELECT))");
    EXPECT_EQ(select.where->args[1]->subquery->from[0].alias, "G");
}

// ---- INSERT, UPDATE, DELETE ----

TEST(SqlInsert, ValuesWithAndWithoutColumns) {
    auto insert = parseAs<InsertStmt>(
        "INSERT INTO \"/d/Timp.dbf\" (IDTIMP, tipauto, CANT) VALUES (7, \"DACIA\", -1.5), "
        "(:id, NULL, 2*3);");
    EXPECT_EQ(insert.table.name, "/d/Timp.dbf");
    EXPECT_EQ(insert.columns, (std::vector<std::string>{"IDTIMP", "TIPAUTO", "CANT"}));
    ASSERT_EQ(insert.rows.size(), 2u);
    EXPECT_EQ(show(*insert.rows[0][1]), "'DACIA'");
    EXPECT_EQ(show(*insert.rows[0][2]), "(- 1.5)");
    EXPECT_EQ(show(*insert.rows[1][2]), "(* 2 3)");
    EXPECT_FALSE(insert.select);

    auto all = parseAs<InsertStmt>("insert into u values ('ADMIN', '', 0)");
    EXPECT_TRUE(all.columns.empty());
    EXPECT_EQ(all.rows.at(0).size(), 3u);
}

TEST(SqlInsert, SelectWithTwoLeftJoinsAndGroupBy) {
    auto insert = parseAs<InsertStmt>(
        "INSERT INTO \"/p/Cumparari.dbf\" (SERIANR, DATAIN, FURNIZOR, CUI, TOTAL, VALT, CATEG, "
        "VALOARE, VALTVA)\r\n"
        "SELECT F.SERIANR, F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG, "
        "SUM(P.VALOARE), SUM(P.VALTVA)\r\n"
        "FROM \"/d/FactIn.dbf\" F LEFT JOIN \"/d/CapNIR.dbf\" C ON C.IDFACT=F.IDFACT\r\n"
        "LEFT JOIN \"/d/ProdNIR.dbf\" P ON P.IDNIR=C.IDNIR\r\n"
        "WHERE F.DATAIN>= \"01.03.2024\" AND F.DATAIN<= \"31.03.2024\"\r\n"
        "GROUP BY F.SERIANR, F.DATAIN, F.FURNIZOR, F.CUI, F.TOTAL, F.VALOARE, P.CATEG");
    EXPECT_EQ(insert.columns.size(), 9u);
    ASSERT_TRUE(insert.select);
    const SelectStmt& select = *insert.select;
    EXPECT_EQ(select.items.size(), 9u);
    EXPECT_EQ(show(*select.items[7].expr), "SUM(P.VALOARE)");
    ASSERT_EQ(select.from.size(), 3u);
    EXPECT_EQ(select.from[1].join, JoinKind::Left);
    EXPECT_EQ(select.from[2].join, JoinKind::Left);
    EXPECT_EQ(show(*select.from[2].on), "(= P.IDNIR C.IDNIR)");
    EXPECT_EQ(show(*select.where), "(AND (>= F.DATAIN '01.03.2024') (<= F.DATAIN '31.03.2024'))");
    EXPECT_EQ(select.groupBy.size(), 7u);
}

TEST(SqlUpdate, SubSelectsInSetAndQualifiedColumns) {
    auto update = parseAs<UpdateStmt>(
        "UPDATE \"/d/CapNIR.dbf\" C SET VMF=(SELECT SUM(P.VALOARE) FROM \"/d/ProdNIR.dbf\" P "
        "WHERE P.IDNIR=12 AND P.CATEG=\"MARFA\"), C.TOTAL = VMF + VAC WHERE C.IDNIR=12");
    EXPECT_EQ(update.table.alias, "C");
    ASSERT_EQ(update.assignments.size(), 2u);
    EXPECT_EQ(update.assignments[0].column, "VMF");
    EXPECT_EQ(update.assignments[0].position, 30);
    const Expr& value = *update.assignments[0].value;
    ASSERT_EQ(value.kind, ExprKind::Subquery);
    EXPECT_EQ(value.subquery->from[0].name, "/d/ProdNIR.dbf");
    EXPECT_EQ(show(*value.subquery->where), "(AND (= P.IDNIR 12) (= P.CATEG 'MARFA'))");
    EXPECT_EQ(update.assignments[1].column, "TOTAL");  // qualifier dropped
    EXPECT_EQ(show(*update.where), "(= C.IDNIR 12)");

    auto all = parseAs<UpdateStmt>("update FactOut set LISTARI=0");
    EXPECT_EQ(all.table.name, "FactOut");
    EXPECT_FALSE(all.where);
}

TEST(SqlDelete, WithAndWithoutWhere) {
    auto del = parseAs<DeleteStmt>("DELETE FROM \"/d/Fise.dbf\" WHERE IDFISA = :id");
    EXPECT_EQ(del.table.name, "/d/Fise.dbf");
    EXPECT_EQ(show(*del.where), "(= IDFISA :ID)");
    EXPECT_FALSE(parseAs<DeleteStmt>("DELETE FROM ProdTemp").where);
}

// ---- CREATE, ALTER, DROP, transactions ----

TEST(SqlCreate, ColumnTypesAndWidthChecks) {
    auto create = parseAs<CreateTableStmt>(
        "CREATE TABLE \"/p/Stoc.dbf\" (IdCap DECIMAL(10,0), PRODUS CHAR(64), UM varchar(8), "
        "X CHARACTER(254), PRET NUMERIC(12,4), Q DECIMAL(6), DATA DATE)");
    ASSERT_EQ(create.columns.size(), 7u);
    EXPECT_EQ(create.columns[0].name, "IDCAP");
    EXPECT_EQ(create.columns[0].type, ColumnType::Decimal);
    EXPECT_EQ(create.columns[0].width, 10);
    EXPECT_EQ(create.columns[1].type, ColumnType::Char);
    EXPECT_EQ(create.columns[1].width, 64);
    EXPECT_EQ(create.columns[2].width, 8);
    EXPECT_EQ(create.columns[3].width, 254);
    EXPECT_EQ(create.columns[4].decimals, 4);
    EXPECT_EQ(create.columns[5].width, 6);
    EXPECT_EQ(create.columns[5].decimals, 0);
    EXPECT_EQ(create.columns[6].type, ColumnType::Date);
    EXPECT_EQ(create.columns[6].width, 8);

    EXPECT_EQ(errorOf("CREATE TABLE T (A CHAR(255))"),
              "Syntax error: bad width CHAR(255) at position 19");
    EXPECT_EQ(errorOf("CREATE TABLE T (A DECIMAL(21,2))"),
              "Syntax error: bad width DECIMAL(21,2) at position 19");
    EXPECT_EQ(errorOf("CREATE TABLE T (A DECIMAL(4,4))"),
              "Syntax error: bad width DECIMAL(4,4) at position 19");
    EXPECT_EQ(errorOf("CREATE TABLE T (A CHAR(2.5))"),
              "Syntax error: expected a whole number at position 24");
    EXPECT_EQ(errorOf("CREATE TABLE T (A INTEGER)"),
              "Syntax error: unknown type 'INTEGER' at position 19");
    EXPECT_EQ(errorOf("CREATE TABLE T (A CHAR(2), b DATE, a DATE)"),
              "Duplicate column A (table T) at position 36");
}

TEST(SqlAlter, AddAndDropColumns) {
    auto alter = parseAs<AlterTableStmt>(
        "ALTER TABLE \"/d/Timp.dbf\" ADD IDTIMP DECIMAL(10,0), ADD TIPAUTO CHAR(24), "
        "ADD COLUMN SECTIA CHAR(32), ADD LEIORA DECIMAL(8,2), ADD CANT DECIMAL(8,2)");
    EXPECT_EQ(alter.table.name, "/d/Timp.dbf");
    ASSERT_EQ(alter.actions.size(), 5u);
    EXPECT_TRUE(alter.actions[2].add);
    EXPECT_EQ(alter.actions[2].column.name, "SECTIA");
    EXPECT_EQ(alter.actions[3].column.decimals, 2);

    auto mixed = parseAs<AlterTableStmt>(
        "ALTER TABLE FactOut DROP cui, ADD CUI CHAR(13), "
        "DROP COLUMN XXX");
    ASSERT_EQ(mixed.actions.size(), 3u);
    EXPECT_FALSE(mixed.actions[0].add);
    EXPECT_EQ(mixed.actions[0].column.name, "CUI");
    EXPECT_TRUE(mixed.actions[1].add);
    EXPECT_EQ(mixed.actions[2].column.name, "XXX");
    EXPECT_EQ(errorOf("ALTER TABLE T ADD A DATE, ADD a CHAR(1)"),
              "Duplicate column A (table T) at position 31");
    EXPECT_EQ(errorOf("ALTER TABLE T RENAME A"),
              "Syntax error: expected ADD or DROP at position 15");
}

TEST(SqlDrop, TablesIndexesAndTransactions) {
    auto table = parseAs<DropTableStmt>("DROP TABLE \"/p/Aviz.dbf\"");
    EXPECT_EQ(table.table.name, "/p/Aviz.dbf");
    auto index = parseAs<DropIndexStmt>("DROP INDEX \"/x/Data/Timp.dbf\".COD");
    EXPECT_EQ(index.table.name, "/x/Data/Timp.dbf");
    EXPECT_TRUE(index.table.quoted);
    EXPECT_EQ(index.indexName, "COD");
    auto bare = parseAs<DropIndexStmt>("drop index Timp.cod;");
    EXPECT_EQ(bare.table.name, "Timp");
    EXPECT_FALSE(bare.table.quoted);
    EXPECT_EQ(bare.indexName, "COD");

    const auto action = [](std::string_view text) { return parseAs<TransactionStmt>(text).action; };
    EXPECT_EQ(action("BEGIN TRANSACTION"), TransactionAction::Begin);
    EXPECT_EQ(action("begin"), TransactionAction::Begin);
    EXPECT_EQ(action("START TRANSACTION;"), TransactionAction::Begin);
    EXPECT_EQ(action("COMMIT WORK"), TransactionAction::Commit);
    EXPECT_EQ(action("ROLLBACK"), TransactionAction::Rollback);
}

// ---- errors ----

TEST(SqlErrors, NameWhatWasExpectedAndWhere) {
    EXPECT_EQ(errorOf("SELECT A, B, C WHERE X"), "Syntax error: expected FROM at position 16");
    EXPECT_EQ(errorOf("SELECT * FROM WHERE A=1"),
              "Syntax error: expected table name at position 15");
    EXPECT_EQ(errorOf("DELETE FROM"), "Syntax error: expected table name at position 12");
    EXPECT_EQ(errorOf("SELECT * FROM T WHERE A=1 XYZ"),
              "Syntax error: unexpected 'XYZ' at position 27");
    EXPECT_EQ(errorOf("SELECT * FROM T;;"), "Syntax error: unexpected ';' at position 17");
    EXPECT_EQ(errorOf("SELECT * FROM T WHERE"),
              "Syntax error: expected an expression at position 22");
    EXPECT_EQ(errorOf("SELECT FROM T"), "Syntax error: unexpected 'FROM' at position 8");
    EXPECT_EQ(errorOf("SELECT (A FROM T"), "Syntax error: expected ')' at position 11");
    EXPECT_EQ(errorOf("XYZ A"), "Syntax error: unexpected 'XYZ' at position 1");
    EXPECT_EQ(errorOf(""), "Syntax error: empty statement at position 1");
    EXPECT_EQ(errorOf("  ;"), "Syntax error: empty statement at position 3");
    EXPECT_EQ(errorOf("INSERT INTO T (A) SET"),
              "Syntax error: expected VALUES or SELECT at position 19");
    EXPECT_EQ(errorOf("SELECT A FROM T WHERE A IN (SELECT A FROM U)"),
              "Syntax error: IN (SELECT ...) is not supported at position 29");
    EXPECT_EQ(errorOf("SELECT 1.1234567890123456789 FROM T"),
              "Syntax error: bad number '1.1234567890123456789' at position 8");
    EXPECT_EQ(errorOf("SELECT A = B = C FROM T"), "Syntax error: expected FROM at position 14");
    EXPECT_EQ(errorOf("SELECT * FROM T WHERE A = B = C"),
              "Syntax error: unexpected '=' at position 29");
    EXPECT_EQ(errorOf("SELECT * FROM \"\""), "Syntax error: empty table path at position 15");
    // A long token is shortened in the message.
    const std::string longWord(100, 'Q');
    EXPECT_EQ(errorOf("COMMIT " + longWord),
              "Syntax error: unexpected '" + longWord.substr(0, 40) + "...' at position 8");
}

TEST(SqlErrors, RejectDeepNestingAndHugeTreesWithoutCrashing) {
    const std::string deep = "SELECT " + std::string(5000, '(') + "1" + std::string(5000, ')');
    EXPECT_EQ(errorOf(deep + " FROM T").rfind("Syntax error: statement nested too deeply", 0), 0u);
    EXPECT_NE(errorOf("SELECT " + std::string(5000, '-') + "1 FROM T").find("nested too deeply"),
              std::string::npos);
    std::string chain = "SELECT 1";
    for (int i = 0; i < 5000; ++i) chain += "+1";
    EXPECT_NE(errorOf(chain + " FROM T").find("expression too complex"), std::string::npos);
    // Moderate depth is fine.
    EXPECT_EQ(errorOf("SELECT " + std::string(40, '(') + "1" + std::string(40, ')') + " FROM T"),
              "no error");
}

// ---- script splitting ----

TEST(SqlScript, SplitsAtLineEndingSemicolonsOutsideQuotes) {
    const auto parts = splitScript(
        "-- create the work table\r\n"
        "CREATE TABLE T (A CHAR(10));\r\n"
        "\n"
        "INSERT INTO T VALUES ('x;\n"
        "y;');\n"
        "UPDATE T SET A = \"a;b\" ;  \n"
        "SELECT A,\n"
        "  B -- not a comment inside a statement\n"
        "FROM T\n"
        "  ;\n"
        "SELECT 1; SELECT 2\n"
        "   \n"
        "DELETE FROM T");
    ASSERT_EQ(parts.size(), 5u);
    EXPECT_EQ(parts[0], "CREATE TABLE T (A CHAR(10))");
    EXPECT_EQ(parts[1], "INSERT INTO T VALUES ('x;\ny;')");
    EXPECT_EQ(parts[2], "UPDATE T SET A = \"a;b\"");
    EXPECT_EQ(parts[3], "SELECT A,\n  B -- not a comment inside a statement\nFROM T");
    EXPECT_EQ(parts[4], "SELECT 1; SELECT 2\n   \nDELETE FROM T");
    EXPECT_TRUE(splitScript("\n  \n-- only a comment\n;\n").empty());
    EXPECT_EQ(splitScript("\xEF\xBB\xBF-- saved with a byte order mark\nCOMMIT;"),
              std::vector<std::string>{"COMMIT"});
}

// ---- robustness ----

TEST(SqlRobustness, RandomBytesAndTruncationsGiveATreeOrAnError) {
    const std::vector<std::string> valid = {
        "SELECT DISTINCT C.*, SUM(P.VALOARE) AS S FROM \"/d/CapNIR.dbf\" C LEFT OUTER JOIN "
        "ProdNIR P ON P.IDNIR = C.IDNIR WHERE NOT C.X IS NULL AND C.Y NOT IN (1, 'a') GROUP BY "
        "C.IDNIR HAVING COUNT(*) > 1 ORDER BY 2 DESC;",
        "UPDATE T X SET A = (SELECT MAX(B) FROM U WHERE U.K = X.K), B = CAST(-A * 2 AS CHAR(9))",
        "INSERT INTO T (A, B) VALUES (:a, 'ă'), (NULL, 1.50)",
        "CREATE TABLE \"/t.dbf\" (A CHAR(3), B DECIMAL(8,2), C DATE)",
        "ALTER TABLE T ADD COLUMN A CHAR(2), DROP B",
        "DROP INDEX \"/x/Timp.dbf\".COD",
    };
    std::mt19937 random(20240317);
    const std::string alphabet = "SELECT FROM WHERE ( ) , . * + - = < > ; : ' \" 0123456789 AB\n";
    int trees = 0;
    int errors = 0;
    const auto attempt = [&](const std::string& text) {
        try {
            parseStatement(text);
            ++trees;
        } catch (const EngineError&) {
            ++errors;
        }
        splitScript(text);
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 60, '\0');
        for (char& c : text) {
            c = round % 2 == 0 ? static_cast<char>(random() % 256)
                               : alphabet[random() % alphabet.size()];
        }
        attempt(text);
    }
    for (const std::string& statement : valid) {
        for (size_t cut = 0; cut <= statement.size(); ++cut) attempt(statement.substr(0, cut));
        for (int round = 0; round < 200; ++round) {  // one byte replaced or dropped
            std::string text = statement;
            const size_t at = random() % text.size();
            if (round % 2 == 0) {
                text[at] = static_cast<char>(random() % 256);
            } else {
                text.erase(at, 1);
            }
            attempt(text);
        }
    }
    // Every full statement parses; most damaged ones do not.
    for (const std::string& statement : valid) EXPECT_EQ(errorOf(statement), "no error");
    EXPECT_GT(errors, trees);
}

// Table definitions, opening stock and the settings file of the crash test's data
// directory.
#include "Schema.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include "tables/Database.h"

namespace tvx::crash {

namespace {

struct Column {
    const char* name;
    char type;  // 'C', 'N' or 'D'
    int width;
    int decimals;
};

struct TableDef {
    const char* file;
    std::vector<Column> columns;
};

const std::vector<TableDef>& definitions() {
    static const std::vector<TableDef> defs = {
        {"FactOut.dbf",
         {{"IDFACTO", 'N', 8, 0},
          {"NRDOC", 'C', 12, 0},
          {"DATA", 'D', 8, 0},
          {"NRLIN", 'N', 3, 0},
          {"TOTAL", 'N', 12, 2}}},
        {"ProdOut.dbf",
         {{"IDFACTO", 'N', 8, 0},
          {"NRLIN", 'N', 3, 0},
          {"IDCAP", 'N', 6, 0},
          {"CANT", 'N', 10, 2},
          {"PRET", 'N', 10, 2},
          {"VALOARE", 'N', 12, 2}}},
        {"Fise.dbf",
         {{"IDFISA", 'N', 10, 0},
          {"IDFACTO", 'N', 8, 0},
          {"IDCAP", 'N', 6, 0},
          {"CANTOUT", 'N', 10, 2}}},
        {"CapFise.dbf",
         {{"IDCAP", 'N', 6, 0},
          {"DENUMIRE", 'C', 30, 0},
          {"STOC", 'N', 10, 2},
          {"NRREC", 'N', 8, 0}}},
    };
    return defs;
}

const TableDef& definitionOf(const fs::path& table) {
    for (const auto& def : definitions())
        if (table.filename() == def.file) return def;
    throw std::runtime_error("No definition for table " + table.string());
}

std::string createStatement(const TableDef& def) {
    std::string sql = "CREATE TABLE " + fs::path(def.file).stem().string() + " (";
    for (size_t i = 0; i < def.columns.size(); ++i) {
        const Column& c = def.columns[i];
        if (i) sql += ", ";
        sql += c.name;
        if (c.type == 'C') sql += " CHAR(" + std::to_string(c.width) + ")";
        if (c.type == 'N')
            sql += " DECIMAL(" + std::to_string(c.width) + "," + std::to_string(c.decimals) + ")";
        if (c.type == 'D') sql += " DATE";
    }
    return sql + ")";
}

long long parseCounter(const std::string& text, const std::string& key, const fs::path& file) {
    if (text.empty() || text.size() > 15 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        throw std::runtime_error("Settings file " + file.string() + ": bad value '" + text +
                                 "' for " + key);
    return std::stoll(text);
}

}  // namespace

Paths pathsFor(const fs::path& dir) {
    Paths p;
    p.dir = dir;
    p.factOut = dir / "FactOut.dbf";
    p.prodOut = dir / "ProdOut.dbf";
    p.fise = dir / "Fise.dbf";
    p.capFise = dir / "CapFise.dbf";
    p.settings = dir / "Tvx2010.set";
    p.journal = dir / "Tvx.jnl";
    p.lock = dir / "Tvx.lck";
    p.scratch = dir / "ZzScratch.dbf";
    return p;
}

std::vector<fs::path> tableFiles(const Paths& paths) {
    return {paths.factOut, paths.prodOut, paths.fise, paths.capFise};
}

std::vector<std::string> expectedLayout(const fs::path& table, const Paths&) {
    std::vector<std::string> out;
    for (const Column& c : definitionOf(table).columns)
        out.push_back(std::string(c.name) + ":" + c.type + ":" + std::to_string(c.width) + ":" +
                      std::to_string(c.decimals));
    return out;
}

tables::Decimal initialStock(int idcap) {
    // 100000.00 + 1000 per card number + a few cents, so that cards differ.
    return tables::Decimal::fromUnits(10000000 + 100000LL * idcap + 7 * idcap, 2);
}

Settings readSettings(const fs::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("Settings file " + file.string() + " cannot be read");
    std::map<std::string, std::string> values;  // "SECTION.KEY"
    std::string section, line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos)
            throw std::runtime_error("Settings file " + file.string() + ": bad line '" + line +
                                     "'");
        values[section + "." + line.substr(0, eq)] = line.substr(eq + 1);
    }
    auto get = [&](const std::string& key) {
        auto it = values.find(key);
        if (it == values.end())
            throw std::runtime_error("Settings file " + file.string() + " has no " + key);
        return parseCounter(it->second, key, file);
    };
    Settings s;
    s.idFacto = get("INDEX.IDFACTO");
    s.idFisa = get("INDEX.IDFISA");
    s.lastDel = get("LOG.LASTDEL");
    return s;
}

void writeSettings(const fs::path& file, const Settings& s) {
    fs::path temporary = file;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << "; counters of the posting\r\n[INDEX]\r\nIDFACTO=" << s.idFacto
            << "\r\nIDFISA=" << s.idFisa << "\r\n[LOG]\r\nLASTDEL=" << s.lastDel << "\r\n";
        out.close();
        if (!out) throw std::runtime_error("Cannot write " + temporary.string());
    }
    fs::rename(temporary, file);
}

std::string describe(const Settings& s) {
    return "IDFACTO=" + std::to_string(s.idFacto) + " IDFISA=" + std::to_string(s.idFisa) +
           " LASTDEL=" + std::to_string(s.lastDel);
}

void createDataDirectory(const Paths& paths) {
    fs::create_directories(paths.dir);
    tables::Database db(paths.dir);
    for (const auto& def : definitions()) db.execute(createStatement(def));
    db.atomically([&] {
        for (int id = 1; id <= kItems; ++id) {
            db.execute(
                "INSERT INTO CapFise (IDCAP, DENUMIRE, STOC, NRREC) VALUES (:id, :name, :stoc, 0)",
                {{"id", id},
                 {"name", "Article " + std::to_string(id)},
                 {"stoc", initialStock(id)}});
        }
    });
    writeSettings(paths.settings, Settings{17, 101, 0});
}

}  // namespace tvx::crash

// tvxdbfmodel FIELDS OUT.dbf: writes the empty dBase level 7 table ("DBWINUS0", no index)
// that a readable field list describes; the build turns the field lists of
// resources/embedded into the empty tables the program embeds. A field list holds one field
// a line, "NAME TYPE WIDTH [DECIMALS]", '#' comment lines, and "record-length N", which the
// fields must give (deletion flag included). Exit status 0 on success, 1 on any problem.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tables/dbf/DbfFile.h"

namespace fs = std::filesystem;
using tvx::tables::dbf::DbfFile;
using tvx::tables::dbf::DbfLevel;
using tvx::tables::dbf::FieldDescriptor;

namespace {

struct FieldList {
    std::vector<FieldDescriptor> fields;
    int recordLength = 0;
};

FieldList readFieldList(const fs::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    FieldList list;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#') continue;
        const std::string where = file.string() + ":" + std::to_string(number) + ": ";
        if (first == "record-length") {
            if (!(words >> list.recordLength)) throw std::runtime_error(where + "no length");
            continue;
        }
        FieldDescriptor field;
        field.name = first;
        std::string type;
        if (!(words >> type >> field.width) || type.size() != 1)
            throw std::runtime_error(where + "expected NAME TYPE WIDTH [DECIMALS]");
        field.type = type[0];
        words >> field.decimals;
        list.fields.push_back(field);
    }
    if (list.fields.empty()) throw std::runtime_error(file.string() + ": no fields");
    return list;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tvxdbfmodel FIELDS OUT.dbf\n";
        return 1;
    }
    const fs::path out = argv[2];
    const fs::path temporary = out.string() + ".tmp";
    try {
        FieldList list = readFieldList(argv[1]);
        const int length = DbfFile::layoutFields(list.fields);
        if (list.recordLength != 0 && length != list.recordLength)
            throw std::runtime_error(std::string(argv[1]) + ": the fields give records of " +
                                     std::to_string(length) + " bytes, not " +
                                     std::to_string(list.recordLength));
        fs::create_directories(out.parent_path());
        fs::remove(temporary);
        DbfFile::create(temporary, list.fields, DbfLevel::Level7);
        fs::rename(temporary, out);
        return 0;
    } catch (const std::exception& e) {
        std::error_code ec;
        fs::remove(temporary, ec);
        std::cerr << "tvxdbfmodel: " << e.what() << "\n";
        return 1;
    }
}

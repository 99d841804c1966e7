// The layouts of the permanent and work tables as data, and the CREATE TABLE statement
// built from a layout. Widths and decimals are part of the file format: existing data
// directories carry exactly these fields.
#include "core/common/TableLayouts.h"

#include "tables/EngineError.h"
#include "tables/Value.h"

namespace tvx::core {

namespace {

FieldSpec C(std::string name, int width) {
    return {std::move(name), 'C', width, 0};
}
FieldSpec N(std::string name, int width, int decimals) {
    return {std::move(name), 'N', width, decimals};
}
FieldSpec D(std::string name) {
    return {std::move(name), 'D', 8, 0};
}

std::vector<FieldSpec> precomFields() {
    std::vector<FieldSpec> f = {
        N("IDCOM", 10, 0),   N("NRCOM", 10, 0),    D("DATACOM"),      C("CLIENT", 32),
        C("ADRESA", 120),    C("TELEFON", 32),     C("CF", 13),       C("RC", 18),
        C("CONT", 24),       C("BANCA", 36),       C("INMATRIC", 12), C("SASIU", 32),
        C("MODEL", 32),      N("RECEPTIE", 10, 4), N("KM", 6, 0),     C("MOTOR", 32),
        C("ASIGURATOR", 32), C("RECEPOM", 24),     D("GARANTIE"),     C("REVIZIE", 12),
        C("FILIALA", 24),    N("TERMEN", 10, 4),
    };
    for (int i = 1; i <= 19; ++i) f.push_back(C("LINIA" + std::to_string(i), 150));
    f.push_back(C("NIVEL", 5));
    for (int i = 1; i <= 5; ++i) {
        f.push_back(C("V" + std::to_string(i), 2));
        f.push_back(C("OBS" + std::to_string(i), 50));
    }
    f.push_back(C("OBSG", 200));
    return f;
}

std::vector<TableLayout> makePermanentTables() {
    return {
        {"Conturi", {N("IDCONT", 10, 0), C("CONT", 24), C("BANCA", 80)}},
        {"FactIn",
         {N("IDFACT", 10, 0), C("NUMEFACT", 16), C("SERIANR", 18), D("DATAIN"), C("FURNIZOR", 32),
          C("CUI", 15), C("BANCA", 32), C("CONT", 24), D("DATASCAD"), N("VALOARE", 10, 2),
          N("TVAPROC", 6, 0), N("TOTAL", 10, 2), N("REST", 10, 2)}},
        {"ChitIn",
         {N("IDCHIT", 10, 0), N("IDFACT", 10, 0), C("DOCJUS", 20), C("SERIANR", 18), D("DATAC"),
          C("FURNIZOR", 32), N("PLATIT", 10, 2), N("INCLTVA", 10, 2), C("REPREZ", 80)}},
        {"CapNIR",
         {N("IDNIR", 10, 0), N("NRNIR", 10, 0), D("DATANIR"), N("IDFACT", 10, 0), C("NUMEFACT", 16),
          C("SERIENR", 18), D("DATAFACT"), C("FURNIZOR", 32), N("TVAPROC", 6, 0), C("DELEGAT", 120),
          C("RECEPTIO", 24), C("GESTIO", 24), N("VMF", 10, 2), N("VAF", 10, 2), N("VAC", 10, 2),
          N("VTN", 10, 2), N("TOTAL", 10, 2), N("LISTAT", 6, 0)}},
        {"ProdNIR", {N("IDPROD", 10, 0), N("IDNIR", 10, 0),  N("IDCAP", 10, 0), N("IDFISA", 10, 0),
                     C("GESTIUNE", 24),  C("CATEG", 24),     C("PRODUS", 240),  C("UM", 4),
                     N("CANTF", 8, 2),   N("CANTR", 8, 2),   N("PRETU", 10, 2), N("VALOARE", 10, 2),
                     N("VALTVA", 10, 2), N("TOTALF", 10, 2), N("PRETA", 10, 2), N("VALA", 10, 2),
                     N("PRETAT", 10, 2), N("VALAT", 10, 2),  C("CODBARE", 40),  C("OBS", 240),
                     D("GARANTIE"),      N("ADAOS", 6, 2)}},
        {"CapFise",
         {N("IDCAP", 10, 0), C("GESTIUNE", 24), C("CATEG", 24), C("PRODUS", 240), C("UM", 4),
          N("PRETIN", 10, 2), N("PRETOUT", 10, 2), N("STOC", 8, 2), C("CODBARE", 40),
          N("NRREC", 8, 0)}},
        {"Fise",
         {N("IDFISA", 10, 0), N("IDCAP", 10, 0), C("TIP", 10), C("DOCJUS", 24), N("NRDOC", 10, 0),
          D("DINDATA"), N("CANTIN", 8, 2), N("CANTOUT", 8, 2), N("VALIN", 10, 2),
          N("VALOUT", 10, 2)}},
        {"FactOut",
         {N("IDFACTO", 10, 0), C("SERIA", 16),    N("NR", 10, 0),     D("DATAOUT"),
          N("TVAPROC", 6, 0),  C("SOC", 32),      C("RJ", 18),        C("CUI", 13),
          C("ADRESA", 120),    C("JUD", 24),      C("BANCA", 36),     C("CONT", 24),
          N("CAPITAL", 8, 0),  C("SOC2", 32),     C("RJ2", 18),       C("CUI2", 13),
          C("ADRESA2", 120),   C("JUD2", 24),     C("LOC2", 24),      C("BANCA2", 36),
          C("CONT2", 24),      C("DELEG", 80),    C("MIJT", 40),      N("DATALIV", 12, 6),
          C("OPERAT", 80),     C("REPREZ", 32),   N("TVATOT", 10, 2), N("VALTOT", 10, 2),
          N("TOTAL", 10, 2),   N("REST", 10, 2),  D("DATASCAD"),      C("OBS", 200),
          C("GESTIUNE", 24),   N("LISTARI", 6, 0)}},
        {"ProdOut",
         {N("IDFACTO", 10, 0), N("IDFISA", 10, 0), N("IDCAP", 10, 0), N("NRCRT", 6, 0),
          C("PRODUS", 240), C("UM", 4), N("CANT", 8, 2), N("PRETOUT", 10, 2), N("VALOUT", 10, 2),
          N("VALTVA", 10, 2), C("OBS", 200), D("GARANTIE"), N("IDCAT", 10, 0)}},
        {"Catalog",
         {N("IDCAT", 10, 0), C("GRUPA", 32), C("SUBGRUPA", 32), C("CATEG", 64), C("PRODUS", 240),
          C("UM", 4), N("VALOUT", 10, 2), C("OBS", 64)}},
        {"ChitOut",
         {N("IDCHIT", 10, 0), N("IDFACTO", 10, 0), C("DOCJUS", 20), C("SERIA", 16), N("NR", 10, 0),
          D("DATAOUT"), N("SUMA", 10, 2), N("INCLTVA", 10, 2), C("REPREZ", 80)}},
        {"Comenzi",
         {N("IDFACTO", 10, 0), N("NR", 8, 0), D("DINDATA"), C("AUTOTIP", 32), C("NRCIRC", 12),
          C("STARE", 24)}},
        {"Timp",
         {N("IDTIMP", 10, 0), C("TIPAUTO", 24), C("SECTIA", 32), C("DENUMIRE", 100), C("COD", 8),
          N("TIMP", 6, 2), N("LEIORA", 8, 2), N("CANT", 8, 2)}},
        {"Precom", precomFields()},
    };
}

std::vector<TableLayout> makeWorkTables() {
    return {
        {"u", {C("NUME", 32), C("PAROLA", 32), C("GRAD", 16)}},
        {"ProdTemp",
         {N("IDFISA", 10, 0), N("IDCAP", 10, 0), N("NRCRT", 6, 0), C("PRODUS", 240), C("UM", 4),
          N("CANT", 8, 2), N("PRETOUT", 10, 2), N("VALOUT", 10, 2), N("VALTVA", 10, 3),
          C("OBS", 200), D("GARANTIE"), N("IDCAT", 10, 0)}},
        {"Stoc",
         {N("IDCAP", 10, 0), C("CATEG", 24), C("PRODUS", 240), C("UM", 4), N("PRETOUT", 10, 2),
          N("STOC", 10, 2), C("CODBARE", 40), N("REST", 10, 2)}},
        {"Casa",
         {N("IDFACT", 10, 0), N("IDCHIT", 10, 0), C("DOCJUS", 20), C("SERIANR", 18), D("DATAC"),
          N("PLATIT", 10, 2), N("INCASAT", 10, 2), C("REPREZ", 80)}},
        {"Fact",
         {C("NRCRT", 6), C("PRODUS", 240), C("UM", 4), C("CANT", 7), C("PU", 11), C("VALOARE", 11),
          C("VALTVA", 11)}},
        {"Cumparari",
         {C("SERIANR", 18), D("DATAIN"), C("FURNIZOR", 32), C("CUI", 15), N("TOTAL", 10, 2),
          C("CATEG", 24), N("VALOARE", 10, 2), N("VALTVA", 10, 2), N("VALT", 10, 2),
          N("AMBALAJ", 10, 2), N("BAZA1", 10, 2), N("TVA1", 10, 2), N("BAZA2", 10, 2),
          N("TVA2", 10, 2), N("DISCBAZA", 10, 2), N("DISCTVA", 10, 2)}},
        {"Tmp",
         {C("PRODUS", 100), C("UM", 4), N("CANT", 8, 2), N("PRETOUT", 10, 2), N("PRETIN", 10, 2),
          C("FF", 40), C("DATAFACT", 10), N("ADAOS", 10, 2)}},
        {"Aviz",
         {N("CANTOUT", 8, 2), N("PRETIN", 10, 2), N("PRETOUT", 10, 2), C("PRODUS", 240),
          C("UM", 4)}},
    };
}

}  // namespace

int TableLayout::fieldIndex(std::string_view field) const {
    for (size_t i = 0; i < fields.size(); ++i)
        if (tables::equalsIgnoreCase(fields[i].name, field)) return static_cast<int>(i);
    return -1;
}

const std::vector<TableLayout>& permanentTables() {
    static const std::vector<TableLayout> tables = makePermanentTables();
    return tables;
}

const std::vector<TableLayout>& workTables() {
    static const std::vector<TableLayout> tables = makeWorkTables();
    return tables;
}

const TableLayout& avizFisLayout() {
    static const TableLayout layout{"AvizFis", {C("DOCJUS", 24), N("NRDOC", 10, 0), D("DINDATA")}};
    return layout;
}

const TableLayout& tableLayout(std::string_view name) {
    for (const auto* list : {&permanentTables(), &workTables()})
        for (const auto& t : *list)
            if (tables::equalsIgnoreCase(t.name, name)) return t;
    if (tables::equalsIgnoreCase(avizFisLayout().name, name)) return avizFisLayout();
    throw tables::EngineError("No layout for table " + std::string(name), std::string(name));
}

const FieldSpec& fieldSpec(std::string_view table, std::string_view field) {
    const TableLayout& layout = tableLayout(table);
    const int index = layout.fieldIndex(field);
    if (index < 0)
        throw tables::EngineError(
            "No field " + std::string(field) + " in the layout of " + layout.name, layout.name);
    return layout.fields[static_cast<size_t>(index)];
}

bool fitsField(const FieldSpec& field, const tables::Decimal& value) {
    const std::string text = value.rescaled(field.decimals, tables::Rounding::HalfAway).toString();
    return text.size() <= static_cast<size_t>(field.width);
}

std::string columnType(const FieldSpec& field) {
    switch (field.type) {
        case 'C':
            return "CHAR(" + std::to_string(field.width) + ")";
        case 'N':
            return "DECIMAL(" + std::to_string(field.width) + "," + std::to_string(field.decimals) +
                   ")";
        case 'D':
            return "DATE";
    }
    throw tables::EngineError("Field " + field.name + " has unknown type " +
                              std::string(1, field.type));
}

std::string createTableStatement(const TableLayout& layout, const std::filesystem::path& file) {
    const std::string path = file.string();
    if (path.find('"') != std::string::npos)
        throw tables::EngineError("Table file path cannot contain a double quote: " + path,
                                  layout.name);
    if (layout.fields.empty()) throw tables::EngineError("Layout without fields", layout.name);
    std::string sql = "CREATE TABLE \"" + path + "\" (";
    for (size_t i = 0; i < layout.fields.size(); ++i) {
        if (i > 0) sql += ", ";
        sql += layout.fields[i].name + " " + columnType(layout.fields[i]);
    }
    sql += ")";
    return sql;
}

}  // namespace tvx::core

// tvxworkbook: tvxworkbook SOURCE.wb.txt OUTPUT.xls — writes the workbook a description
// gives (see WorkbookSource.h).
#include <fstream>
#include <iostream>
#include <sstream>

#include "WorkbookSource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tvxworkbook SOURCE.wb.txt OUTPUT.xls\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        tvx::tools::BuildWorkbook(text.str()).save(argv[2]);
    } catch (const std::exception& e) {
        std::cerr << argv[1] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}

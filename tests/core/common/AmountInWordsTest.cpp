// Tests of the Romanian amount in words: the printed examples, the irregular numbers, the
// group names, the bani (cut, not rounded), the sign and refused input.
#include <gtest/gtest.h>

#include "core/common/AmountInWords.h"
#include "tables/EngineError.h"

namespace tvx::core {
namespace {

struct Case {
    const char* amount;
    const char* words;
};

void expectAll(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(AmountInWords(c.amount), c.words) << c.amount;
}

TEST(AmountInWords, PrintedExamples) {
    expectAll({{"2345.67", "douamiitreisutepatruzecisicinci lei si sasezecisisapte bani"},
               {"2", "doi lei si zero bani"},
               {"21.01", "douazecisiunu lei si unu bani"},
               {"0.5", "zero lei si cincizeci bani"},
               {"1000000", "unamilioane lei si zero bani"},
               {"12.1", "doisprezece lei si zece bani"},
               {"", "zero lei si zero bani"}});
}

TEST(AmountInWords, IrregularNumbersHundredsAndGroups) {
    expectAll({{"0", "zero lei si zero bani"},
               {"1", "unu lei si zero bani"},
               {"11", "unsprezece lei si zero bani"},
               {"12", "doisprezece lei si zero bani"},
               {"16", "sasesprezece lei si zero bani"},
               {"20", "douazeci lei si zero bani"},
               {"22", "douazecisidoi lei si zero bani"},
               {"100", "unasuta lei si zero bani"},
               {"101", "unasutaunu lei si zero bani"},
               {"200", "douasute lei si zero bani"},
               {"1000", "unamii lei si zero bani"},
               {"1001", "unamiiunu lei si zero bani"},
               {"2000", "douamii lei si zero bani"},
               {"12000", "doisprezecemii lei si zero bani"},
               {"2000000", "douamilioane lei si zero bani"},
               {"1000000000", "unamiliarde lei si zero bani"},
               {"1,234,567",
                "unamilioanedouasutetreizecisipatrumiicincisutesasezecisisapte lei si zero bani"},
               {"999999999999",
                "nouasutenouazecisinouamiliardenouasutenouazecisinouamilioanenouasutenouazecisi"
                "nouamiinouasutenouazecisinoua lei si zero bani"}});
}

TEST(AmountInWords, BaniSignAndBlanks) {
    expectAll({{"0.01", "zero lei si unu bani"},
               {"0.02", "zero lei si doi bani"},
               {".05", "zero lei si cinci bani"},
               {"3.", "trei lei si zero bani"},
               {"12.999", "doisprezece lei si nouazecisinoua bani"},
               {"1,000.5", "unamii lei si cincizeci bani"},
               {" 7 ", "sapte lei si zero bani"},
               {"0000000000001", "unu lei si zero bani"},
               {"-5.20", "minus cinci lei si douazeci bani"},
               {"-0.00", "zero lei si zero bani"}});
}

TEST(AmountInWords, RefusesWhatIsNotAnAmount) {
    for (const char* bad : {"abc", "12a", "1.2.3", "1e5", "+5", "-", "5 000", "1000000000000"})
        EXPECT_THROW(AmountInWords(bad), tables::EngineError) << bad;
}

}  // namespace
}  // namespace tvx::core

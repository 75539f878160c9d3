// Converting 10 MB of mixed Chinese text from GB to BIG5 through the
// table-driven function, against iconv alone on the same text.

#include "module/lang/CodeTables.h"
#include "platform/sys/CodePage.h"

#include "tests/bench/BenchMain.h"

#include <random>

namespace corvane {
namespace {

const std::string& MixedText() {
    static const std::string text = [] {
        // Common characters, punctuation, digits and Latin letters, as business texts mix them.
        const std::string pieces[] = {codepage::FromUtf8("工资身份类别维护", "936"),
                                      codepage::FromUtf8("员工与公司负担比例，", "936"),
                                      codepage::FromUtf8("津贴与扣款项目：", "936"), "NA001 = '01' ",
                                      codepage::FromUtf8("金额的小数位数及进位方式。", "936"), "12345.67 "};
        std::mt19937 random(3);
        std::string out;
        out.reserve(10u << 20);
        while (out.size() < (10u << 20)) {
            out += pieces[random() % std::size(pieces)];
        }
        return out;
    }();
    return text;
}

const MappingTables& Tables() {
    static const MappingTables tables = [] {
        MappingTables loaded;
        LoadMappingFile(CORVANE_LANGUAGE_FILE, loaded);
        return loaded;
    }();
    return tables;
}

// The baseline: the platform's iconv conversion from code page 936 to 950,
// through Unicode, with "?" for a character BIG5 lacks. (One direct iconv
// call from CP936 to CP950 stops at the first such character, and restarting
// it after each one costs time in proportion to the rest of the text.)
void BM_IconvAlone(benchmark::State& state) {
    const std::string& text = MixedText();
    for (auto _ : state) {
        std::string out = codepage::Convert(text, "936", "950");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_IconvAlone)->Unit(benchmark::kMillisecond);

void BM_TableDrivenGBToBig5(benchmark::State& state) {
    const std::string& text = MixedText();
    const MappingTables& tables = Tables();
    for (auto _ : state) {
        std::string out = GBToBig5(text, tables);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_TableDrivenGBToBig5)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane

int main(int argc, char** argv) {
    return corvane::bench::RunWithRatios(argc, argv, {{"BM_TableDrivenGBToBig5", "BM_IconvAlone", 2.0}});
}

// The pattern objects against PCRE2 called directly on the same text already
// in UTF-16: what the wrapper costs, GBK conversions included.
#define PCRE2_CODE_UNIT_WIDTH 16
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/allocator_policy.h"
#include "platform/text_codec.h"
#include "ratio_reporter.h"
#include "regex/pattern_object.h"

namespace {

constexpr const char* kPattern = "\"(\\w+)\":\"([^\"]*)\"";

// About 100 KB of catalogue-like GBK text.
const std::string& SampleGbk() {
    static const std::string text = [] {
        std::string utf8;
        for (int i = 0; utf8.size() < 100 * 1024; ++i) {
            utf8 += "{\"old_name\":\"艾欧尼亚" + std::to_string(i) +
                    "\",\"new_name\":\"电信一区\",\"domain\":\"host" + std::to_string(i) +
                    ".example.test\"},\n";
        }
        return quillark::TextCodec::Utf8ToGbk(utf8);
    }();
    return text;
}

const std::u16string& SampleUtf16() {
    static const std::u16string text = quillark::TextCodec::GbkToUtf16(SampleGbk());
    return text;
}

struct DirectPcre2 {
    pcre2_code* code;
    pcre2_match_data* data;
    DirectPcre2() {
        int error = 0;
        PCRE2_SIZE offset = 0;
        std::u16string pattern = quillark::TextCodec::Utf8ToUtf16(kPattern);
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR16>(pattern.data()), pattern.size(),
                             PCRE2_CASELESS | PCRE2_MULTILINE, &error, &offset, nullptr);
        pcre2_jit_compile(code, PCRE2_JIT_COMPLETE);
        data = pcre2_match_data_create_from_pattern(code, nullptr);
    }
    ~DirectPcre2() {
        pcre2_match_data_free(data);
        pcre2_code_free(code);
    }
    // Counts the matches, as Execute does.
    int CountMatches(const std::u16string& subject) const {
        int count = 0;
        PCRE2_SIZE offset = 0;
        while (pcre2_match(code, reinterpret_cast<PCRE2_SPTR16>(subject.data()), subject.size(),
                           offset, 0, data, nullptr) >= 0) {
            ++count;
            offset = pcre2_get_ovector_pointer(data)[1];
        }
        return count;
    }
    std::u16string Substitute(const std::u16string& subject) const {
        std::u16string out(subject.size() + 16, u'\0');
        PCRE2_SIZE length = out.size();
        std::u16string replacement = u"$1";
        pcre2_substitute(code, reinterpret_cast<PCRE2_SPTR16>(subject.data()), subject.size(), 0,
                         PCRE2_SUBSTITUTE_GLOBAL, data, nullptr,
                         reinterpret_cast<PCRE2_SPTR16>(replacement.data()), replacement.size(),
                         reinterpret_cast<PCRE2_UCHAR16*>(out.data()), &length);
        out.resize(length);
        return out;
    }
};

void BM_PatternObjectExecute(benchmark::State& state) {
    quillark::PatternObject pattern;
    pattern.Create(kPattern);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern.Execute(SampleGbk()));
    }
}
BENCHMARK(BM_PatternObjectExecute)->Unit(benchmark::kMicrosecond);

void BM_Pcre2Execute(benchmark::State& state) {
    DirectPcre2 direct;
    for (auto _ : state) {
        benchmark::DoNotOptimize(direct.CountMatches(SampleUtf16()));
    }
}
BENCHMARK(BM_Pcre2Execute)->Unit(benchmark::kMicrosecond);

void BM_PatternObjectReplace(benchmark::State& state) {
    quillark::PatternObject pattern;
    pattern.Create(kPattern);
    for (auto _ : state) {
        benchmark::DoNotOptimize(pattern.Replace(SampleGbk(), "$1"));
    }
}
BENCHMARK(BM_PatternObjectReplace)->Unit(benchmark::kMicrosecond);

void BM_Pcre2Replace(benchmark::State& state) {
    DirectPcre2 direct;
    for (auto _ : state) {
        benchmark::DoNotOptimize(direct.Substitute(SampleUtf16()));
    }
}
BENCHMARK(BM_Pcre2Replace)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Measured as the program runs: with its heap policy.
    quillark::KeepFreedMemoryForReuse();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* name : {"BM_PatternObjectExecute", "BM_Pcre2Execute",
                             "BM_PatternObjectReplace", "BM_Pcre2Replace"}) {
        if (!reporter.Has(name)) {
            return 0;  // a filtered run: no ratio to print
        }
    }
    double ours =
        reporter.Time("BM_PatternObjectExecute") + reporter.Time("BM_PatternObjectReplace");
    double direct = reporter.Time("BM_Pcre2Execute") + reporter.Time("BM_Pcre2Replace");
    std::printf("ratio pattern_execute_vs_pcre2 %.2f\n",
                reporter.Time("BM_PatternObjectExecute") / reporter.Time("BM_Pcre2Execute"));
    std::printf("ratio pattern_replace_vs_pcre2 %.2f\n",
                reporter.Time("BM_PatternObjectReplace") / reporter.Time("BM_Pcre2Replace"));
    std::printf("ratio pattern_vs_pcre2 %.2f\n", ours / direct);
    return 0;
}

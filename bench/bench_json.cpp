// JSON reader against nlohmann::json on a catalogue-shaped array of N objects
// (old_name, new_name, domain): parse, count, and read all 3N strings by path.
// Ends with
//   ratio json_vs_nlohmann_10k VALUE     our time / nlohmann's at N = 10,000
//   ratio json_scaling_100k_10k VALUE    our time at N = 100,000 / at N = 10,000
//   ratio json_memory_100k VALUE         our peak heap growth / input bytes at N = 100,000
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <string>

#include "json/json_document.h"
#include "platform/text_codec.h"

// Counts live heap bytes (as the allocator sizes them) and their peak, so the
// memory figure is the process's own allocation peak, not a resident-set guess.
#include "ratio_reporter.h"

namespace {
std::atomic<size_t> live_bytes{0};
std::atomic<size_t> peak_bytes{0};

void* Allocate(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    const size_t now = live_bytes.fetch_add(malloc_usable_size(block)) + malloc_usable_size(block);
    size_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {
    }
    return block;
}

void Release(void* block) {
    if (block != nullptr) {
        live_bytes.fetch_sub(malloc_usable_size(block));
        std::free(block);
    }
}
}  // namespace

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, size_t) noexcept {
    Release(block);
}

namespace {

// The catalogue in UTF-8 (for the peer) with Chinese region names.
std::string CatalogueUtf8(int count) {
    static const char* const kNames[] = {"艾欧尼亚", "祖安",   "诺克萨斯", "班德尔城", "皮尔特沃夫",
                                         "战争学院", "巨神峰", "雷瑟守备", "裁决之地", "黑色玫瑰"};
    std::string text = "[";
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        text += i == 1 ? "\n  " : ",\n  ";
        text += R"({"old_name": ")" + std::string(kNames[i % 10]) + n + R"(", "new_name": "电信)" +
                n + R"(区 )" + kNames[(i + 3) % 10] + R"(", "domain": "hn)" + n +
                R"(-gz.lol.example.com"})";
    }
    return text + "\n]";
}

struct Inputs {
    std::string gbk;
    std::string utf8;
};

const Inputs& InputFor(int count) {
    static std::map<int, Inputs> inputs;
    auto found = inputs.find(count);
    if (found == inputs.end()) {
        std::string utf8 = CatalogueUtf8(count);
        found = inputs.emplace(count, Inputs{quillark::TextCodec::Utf8ToGbk(utf8), utf8}).first;
    }
    return found->second;
}

const char* const kMembers[] = {"old_name", "new_name", "domain"};

// Our work, as the catalogue loader does it. Returns the bytes read.
size_t ReadWithJsonDocument(const std::string& text) {
    quillark::JsonDocument document;
    document.Parse(text, false);
    const int count = document.GetCount("");
    size_t bytes = 0;
    for (int i = 1; i <= count; ++i) {
        const std::string element = "[" + std::to_string(i) + "].";
        for (const char* member : kMembers) {
            bytes += document.GetText(element + member).size();
        }
    }
    return bytes;
}

size_t ReadWithNlohmann(const std::string& text) {
    const nlohmann::json document = nlohmann::json::parse(text);
    size_t bytes = 0;
    for (const nlohmann::json& element : document) {
        for (const char* member : kMembers) {
            bytes += element[member].get<std::string>().size();
        }
    }
    return bytes;
}

void BM_QuillarkJson(benchmark::State& state) {
    const std::string& text = InputFor(static_cast<int>(state.range(0))).gbk;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWithJsonDocument(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_Nlohmann(benchmark::State& state) {
    const std::string& text = InputFor(static_cast<int>(state.range(0))).utf8;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadWithNlohmann(text));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void Sizes(benchmark::internal::Benchmark* benchmark) {
    benchmark->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000);
}

BENCHMARK(BM_QuillarkJson)
    ->Apply(Sizes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Nlohmann)
    ->Apply(Sizes)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Peak heap growth of one run of our work over what was live before it (the
// input text is already allocated), relative to the input size.
double MemoryRatio(int count) {
    const std::string& text = InputFor(count).gbk;
    const size_t before = live_bytes.load();
    peak_bytes.store(before);
    benchmark::DoNotOptimize(ReadWithJsonDocument(text));
    return static_cast<double>(peak_bytes.load() - before) / static_cast<double>(text.size());
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::puts(
                "usage: bench_json [Google Benchmark flags]\n"
                "Parses a catalogue-shaped JSON array of N objects (N = 100, 1,000, 10,000,\n"
                "100,000) with JsonDocument (GBK text) and reads all 3N member strings by path,\n"
                "against nlohmann::json on the same text in UTF-8; 5 runs each. Prints the\n"
                "medians and then\n"
                "  ratio json_vs_nlohmann_10k VALUE   our time / nlohmann's at N = 10,000\n"
                "  ratio json_scaling_100k_10k VALUE  our time at 100,000 / at 10,000\n"
                "  ratio json_memory_100k VALUE       peak heap growth of one run at 100,000,\n"
                "                                     counted by this binary's operator new,\n"
                "                                     / input bytes");
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours_10k = reporter.Time("BM_QuillarkJson/10000");
    const double ours_100k = reporter.Time("BM_QuillarkJson/100000");
    const double peer_10k = reporter.Time("BM_Nlohmann/10000");
    std::printf("ratio json_vs_nlohmann_10k %.2f\n", peer_10k > 0 ? ours_10k / peer_10k : 0.0);
    std::printf("ratio json_scaling_100k_10k %.2f\n", ours_10k > 0 ? ours_100k / ours_10k : 0.0);
    std::printf("ratio json_memory_100k %.2f\n", MemoryRatio(100000));
    return 0;
}

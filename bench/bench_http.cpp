// 1,000 sequential GETs of a 2 KB body from a loopback server: through one
// HttpRequest (Open, Send, ResponseText) and through one reused plain libcurl
// easy handle, in the same run. Ends with 'ratio http_vs_libcurl VALUE'.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "http/http_request.h"
#include "ratio_reporter.h"

namespace {

constexpr int kRequests = 1000;

class BodyServer {
  public:
    BodyServer() : body_(2048, 'x') {
        server_.set_keep_alive_max_count(1000000);
        server_.set_tcp_nodelay(true);  // else each answer waits for a delayed ACK
        server_.Get("/body", [this](const httplib::Request&, httplib::Response& response) {
            response.set_content(body_, "text/plain; charset=utf-8");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop() before the loop runs would be lost; wait for it.
        while (!server_.is_running()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~BodyServer() {
        server_.stop();
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/body"; }

  private:
    std::string body_;
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

BodyServer& Server() {
    static BodyServer server;
    return server;
}

void BM_HttpRequest(benchmark::State& state) {
    const std::string url = Server().Url();
    quillark::HttpRequest request;
    size_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            request.Open("GET", url);
            request.Send();
            bytes += request.ResponseText().size();
        }
    }
    if (bytes != static_cast<size_t>(state.iterations()) * kRequests * 2048) {
        state.SkipWithError("short response");
    }
}
BENCHMARK(BM_HttpRequest)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

size_t Collect(char* data, size_t size, size_t count, void* out) {
    static_cast<std::string*>(out)->append(data, size * count);
    return size * count;
}

void BM_Libcurl(benchmark::State& state) {
    const std::string url = Server().Url();
    CURL* easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    size_t bytes = 0;
    for (auto _ : state) {
        for (int i = 0; i < kRequests; ++i) {
            body.clear();
            curl_easy_perform(easy);
            bytes += body.size();
        }
    }
    curl_easy_cleanup(easy);
    if (bytes != static_cast<size_t>(state.iterations()) * kRequests * 2048) {
        state.SkipWithError("short response");
    }
}
BENCHMARK(BM_Libcurl)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::puts(
                "usage: bench_http [Google Benchmark flags]\n"
                "Times 1,000 sequential GETs of a 2 KB body from a loopback server through one\n"
                "HttpRequest (Open, Send, ResponseText) and through one reused libcurl easy\n"
                "handle, 7 runs each, and prints 'ratio http_vs_libcurl VALUE' (medians).");
            return 0;
        }
    }
    // Alternating the two runs evens out a machine whose load changes meanwhile.
    std::vector<char*> args(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ours = reporter.Time("BM_HttpRequest");
    const double plain = reporter.Time("BM_Libcurl");
    std::printf("ratio http_vs_libcurl %.2f\n", plain > 0 ? ours / plain : 0.0);
    return 0;
}

// A small HTTP server on loopback that serves the sample data in place of the
// five web resources, for the demo and the end-to-end tests.
//
// usage: quillark-fixture-server [--data DIR] [--port N] [--seconds N]
//
// It prints "listening PORT" on standard output once it accepts connections
// (with --port 0 the system picks the port) and stops after --seconds (default
// 3600) or on SIGINT/SIGTERM.
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Options {
    std::string data_dir = "tools/demo-data";
    int port = 0;
    int seconds = 3600;
};

// Fixed request paths and the sample file that answers each.
const std::map<std::string, std::string> kFiles = {
    {"/lol/box/gameserver.json", "gameserver.json"},
    {"/act/a20150326dqpd/js/LOL_SERVER_STATUS.js", "LOL_SERVER_STATUS.js"},
    {"/lol/act/a20150325ServerStatus/getServerStatus.php", "getServerStatus.php"},
    {"/comm-htdocs/js/game_area/lol_server_select.js", "lol_server_select.js"},
};

httplib::Server* g_server = nullptr;

void PrintHelp() {
    std::cout << "usage: quillark-fixture-server [--data DIR] [--port N] [--seconds N]\n"
                 "Serves the sample catalogue, status and location data on 127.0.0.1.\n"
                 "  --data DIR     folder with the sample files (default tools/demo-data)\n"
                 "  --port N       port to listen on; 0 picks a free one (default 0)\n"
                 "  --seconds N    stop after N seconds (default 3600)\n"
                 "Prints 'listening PORT' once ready.\n";
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--help" || arg == "-h") {
            PrintHelp();
            std::exit(0);
        } else if (arg == "--data") {
            const char* v = value();
            if (!v)
                return false;
            options.data_dir = v;
        } else if (arg == "--port") {
            const char* v = value();
            if (!v)
                return false;
            options.port = std::atoi(v);
        } else if (arg == "--seconds") {
            const char* v = value();
            if (!v)
                return false;
            options.seconds = std::atoi(v);
        } else {
            return false;
        }
    }
    return true;
}

bool ReadFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    out = buffer.str();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        PrintHelp();
        return 2;
    }
    std::map<std::string, std::string> bodies;
    for (const auto& [path, file] : kFiles) {
        if (!ReadFile(options.data_dir + "/" + file, bodies[path])) {
            std::cerr << "cannot read " << options.data_dir << "/" << file << "\n";
            return 1;
        }
    }
    std::string locations_text;
    if (!ReadFile(options.data_dir + "/ipinfo.json", locations_text)) {
        std::cerr << "cannot read " << options.data_dir << "/ipinfo.json\n";
        return 1;
    }
    const nlohmann::json locations = nlohmann::json::parse(locations_text, nullptr, false);

    httplib::Server server;
    for (const auto& [path, body] : bodies) {
        server.Get(path, [body = body](const httplib::Request&, httplib::Response& response) {
            response.set_content(body, "application/octet-stream");
        });
    }
    server.Get("/service/getIpInfo.php",
               [&locations](const httplib::Request& request, httplib::Response& response) {
                   std::string ip = request.get_param_value("ip");
                   std::string answer = R"({"code":1,"data":"invalid ip"})";
                   if (locations.is_object() && locations.contains(ip)) {
                       // ensure_ascii keeps the service's \u escapes.
                       answer = locations[ip].dump(-1, ' ', true);
                   }
                   response.set_content(answer, "application/json");
               });

    int port = options.port == 0
                   ? server.bind_to_any_port("127.0.0.1")
                   : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
    if (port <= 0) {
        std::cerr << "cannot listen on 127.0.0.1:" << options.port << "\n";
        return 1;
    }
    g_server = &server;
    std::signal(SIGINT, [](int) { g_server->stop(); });
    std::signal(SIGTERM, [](int) { g_server->stop(); });
    std::mutex mutex;
    std::condition_variable finished_changed;
    bool finished = false;
    std::thread deadline([&] {
        std::unique_lock lock(mutex);
        if (!finished_changed.wait_for(lock, std::chrono::seconds(options.seconds),
                                       [&] { return finished; })) {
            server.stop();
        }
    });
    std::printf("listening %d\n", port);
    std::fflush(stdout);
    server.listen_after_bind();
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    finished_changed.notify_all();
    deadline.join();
    return 0;
}

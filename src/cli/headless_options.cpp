#include "cli/headless_options.h"

#include <charconv>

namespace quillark {

const char* HeadlessOptions::HelpText() {
    return "usage: quillark --headless [--once] [--interval SECONDS] [--format table|tsv|json]\n"
           "       quillark [--screenshot FILE]\n"
           "\n"
           "Lists every server region with its host, address, latency, state and location.\n"
           "\n"
           "  --headless          run without a window and print the list to standard output\n"
           "  --once              wait for the first test pass to finish, print, and exit\n"
           "  --interval SECONDS  repeat a test pass every SECONDS (default 10)\n"
           "  --format FORMAT     table (default), tsv (one line per row: picture, colour,\n"
           "                      seven cells) or json\n"
           "  --screenshot FILE   open the window, save it as FILE (PNG) once the first\n"
           "                      test pass has finished, and exit\n"
           "  --help              this text\n"
           "\n"
           "QUILLARK_ENDPOINTS=http://HOST[:PORT] reads every resource from that server.\n";
}

bool HeadlessOptions::Parse(const std::vector<std::string>& args, HeadlessOptions& options,
                            std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&](std::string& value) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
            return true;
        };
        std::string value;
        if (arg == "--headless") {
            continue;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--once") {
            options.once = true;
        } else if (arg == "--interval") {
            if (!next(value)) {
                return false;
            }
            int seconds = 0;
            auto [end, code] = std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (code != std::errc() || end != value.data() + value.size() || seconds < 1 ||
                seconds > 86400) {
                error = "--interval takes a whole number of seconds from 1 to 86400";
                return false;
            }
            options.interval_seconds = seconds;
        } else if (arg == "--format") {
            if (!next(value)) {
                return false;
            }
            if (value == "table") {
                options.format = Format::kTable;
            } else if (value == "tsv") {
                options.format = Format::kTsv;
            } else if (value == "json") {
                options.format = Format::kJson;
            } else {
                error = "--format takes table, tsv or json";
                return false;
            }
        } else {
            error = "unknown argument: " + arg;
            return false;
        }
    }
    return true;
}

}  // namespace quillark

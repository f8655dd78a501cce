#pragma once

#include <string>
#include <vector>

namespace quillark {

// The command line of the headless front end:
//   quillark --headless [--once] [--interval SECONDS] [--format table|tsv|json]
struct HeadlessOptions {
    enum class Format { kTable, kTsv, kJson };

    bool once = false;
    int interval_seconds = 10;
    Format format = Format::kTable;
    bool help = false;

    // Parses the arguments after the program name; false with `error` set
    // when an argument is unknown or a value is invalid.
    static bool Parse(const std::vector<std::string>& args, HeadlessOptions& options,
                      std::string& error);
    static const char* HelpText();
};

}  // namespace quillark

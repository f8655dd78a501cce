#include "cli/headless_front_end.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include "cli/list_printer.h"
#include "cli/program.h"
#include "http/module_state.h"
#include "listview/memory_list_control.h"
#include "listview/row_lock.h"

namespace quillark {
namespace {

using namespace std::chrono_literals;

std::atomic<bool> g_interrupted{false};

void Print(MemoryListControl& list, const HeadlessOptions& options, bool redraw_in_place) {
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    std::string text = ListPrinter::Format(ListPrinter::Snapshot(list), options.format, terminal);
    if (redraw_in_place && terminal) {
        text = "\x1b[H\x1b[2J" + text;  // home and clear: the table stays in place
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void RepeatUntilInterrupted(Program& program, MemoryListControl& list,
                            const HeadlessOptions& options) {
    std::signal(SIGINT, [](int) { g_interrupted = true; });
    std::signal(SIGTERM, [](int) { g_interrupted = true; });
    const bool terminal = isatty(STDOUT_FILENO) != 0;
    auto next_pass =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.interval_seconds);
    while (!g_interrupted) {
        // On a terminal the table is redrawn every second as rows come in;
        // into a pipe or file it is written once per pass, when it has settled.
        if (terminal) {
            Print(list, options, true);
            std::this_thread::sleep_for(1s);
        } else {
            program.WaitUntilSettled(std::chrono::seconds(options.interval_seconds));
            Print(list, options, false);
            std::this_thread::sleep_until(next_pass);
        }
        if (std::chrono::steady_clock::now() >= next_pass) {
            program.StartTestPass();
            next_pass += std::chrono::seconds(options.interval_seconds);
        }
    }
}

}  // namespace

int RunHeadless(const HeadlessOptions& options) {
    ModuleStartup();
    row_lock::Create();
    MemoryListControl list;
    Program program(list, Endpoints::FromEnvironment());
    program.LoadServerList();
    if (options.once) {
        program.WaitUntilSettled(std::chrono::hours(24));
        Print(list, options, false);
    } else {
        RepeatUntilInterrupted(program, list, options);
    }
    // Workers still waiting for an echo use the list and the program: end the
    // process without running destructors under them.
    if (program.RunningThreads() > 0) {
        std::fflush(nullptr);
        std::_Exit(0);
    }
    row_lock::Delete();
    ModuleShutdown();
    return 0;
}

}  // namespace quillark

// Quillark's entry: the window, or the headless front end with --headless.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "cli/headless_front_end.h"
#include "cli/headless_options.h"
#include "cli/program.h"
#include "http/module_state.h"
#include "platform/allocator_policy.h"
#include "platform/process_launcher.h"

namespace {

using namespace std::chrono_literals;

// The window is made before the program that serves it (the program needs
// the window's list), so its actions go through this forwarder.
class ForwardingActions : public quillark::ApplicationActions {
  public:
    void SetTarget(quillark::ApplicationActions* target) { target_ = target; }
    void LoadServerList() override { target_->LoadServerList(); }
    void StartTestPass() override { target_->StartTestPass(); }

  private:
    quillark::ApplicationActions* target_ = nullptr;
};

struct WindowOptions {
    std::string screenshot;
};

bool ParseWindowOptions(const std::vector<std::string>& args, WindowOptions& options) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--screenshot" && i + 1 < args.size()) {
            options.screenshot = args[++i];
        } else {
            return false;
        }
    }
    return true;
}

// Saves the window once the loader and the first test pass have finished,
// then ends the program; gives up after a minute.
void SaveScreenshotWhenSettled(quillark::MainWindow& window, quillark::Program& program,
                               const QString& file) {
    auto* timer = new QTimer(&window);
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    QObject::connect(timer, &QTimer::timeout, &window, [&window, &program, file, timer, deadline] {
        const bool settled = program.WaitUntilSettled(0ms);
        if (!settled && std::chrono::steady_clock::now() < deadline) {
            return;
        }
        timer->stop();
        const bool saved = settled && window.grab().save(file, "PNG");
        if (!saved) {
            std::fprintf(stderr, "quillark: could not save the screenshot\n");
        }
        QApplication::exit(saved ? 0 : 1);
    });
    timer->start(200);
}

int RunWindow(int argc, char** argv, const WindowOptions& options) {
    quillark::ModuleStartup();
    QApplication application(argc, argv);
    ForwardingActions actions;
    static quillark::PosixProcessLauncher launcher;
    // Never destroyed: threads that outlive the window end with the process and
    // may still call the list; Detach() turns their calls into no-ops.
    auto* window = new quillark::MainWindow(actions, launcher);
    quillark::Program program(window->ServerList(), quillark::Endpoints::FromEnvironment());
    actions.SetTarget(&program);
    window->show();
    if (!options.screenshot.empty()) {
        SaveScreenshotWhenSettled(*window, program, QString::fromStdString(options.screenshot));
    }
    const int result = application.exec();
    window->ServerList().Detach();
    if (program.RunningThreads() > 0) {
        // Workers still wait for echoes and use the program: end without
        // running destructors under them.
        std::fflush(nullptr);
        std::_Exit(result);
    }
    quillark::ModuleShutdown();
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    quillark::KeepFreedMemoryForReuse();
    const std::vector<std::string> args(argv + 1, argv + argc);
    bool headless = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(quillark::HeadlessOptions::HelpText(), stdout);
            return 0;
        }
        headless = headless || arg == "--headless";
    }
    if (headless) {
        quillark::HeadlessOptions options;
        std::string error;
        if (!quillark::HeadlessOptions::Parse(args, options, error)) {
            std::fprintf(stderr, "quillark: %s (see --help)\n", error.c_str());
            return 2;
        }
        return quillark::RunHeadless(options);
    }
    WindowOptions options;
    if (!ParseWindowOptions(args, options)) {
        std::fprintf(stderr, "quillark: unknown arguments (see --help)\n");
        return 2;
    }
    return RunWindow(argc, argv, options);
}

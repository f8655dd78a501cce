#pragma once

// Doubles and helpers shared by the window tests.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QTest>
#include <QWidget>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "listview/application_actions.h"
#include "listview/column_sort.h"
#include "platform/process_launcher.h"

namespace quillark::testing_support {

// Records the window's calls. Lives for the whole test run: the loader
// thread the window starts is detached.
class RecordingActions : public ApplicationActions {
  public:
    void LoadServerList() override {
        std::lock_guard guard(lock_);
        ++loads_;
        changed_.notify_all();
    }
    void StartTestPass() override {
        std::lock_guard guard(lock_);
        ++passes_;
    }
    int Loads() {
        std::lock_guard guard(lock_);
        return loads_;
    }
    int Passes() {
        std::lock_guard guard(lock_);
        return passes_;
    }
    bool WaitForLoads(int count, int milliseconds) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::milliseconds(milliseconds),
                                 [&] { return loads_ >= count; });
    }

  private:
    std::mutex lock_;
    std::condition_variable changed_;
    int loads_ = 0;
    int passes_ = 0;
};

inline RecordingActions& SharedActions() {
    static auto* actions = new RecordingActions;
    return *actions;
}

// Starts nothing; records every argv.
class RecordingLauncher : public ProcessLauncher {
  public:
    std::set<std::string> programs{"ping", "traceroute", "xterm", "xdg-open"};
    std::vector<std::vector<std::string>> started;

    bool Start(const std::vector<std::string>& argv) override {
        started.push_back(argv);
        return true;
    }
    std::string FindProgram(const std::string& name) const override {
        return programs.count(name) ? "/usr/bin/" + name : std::string();
    }
    std::string GetEnvironment(const std::string&) const override { return {}; }
};

// Processes events until `done` or the timeout; false on timeout.
template <typename Predicate>
bool SpinUntil(Predicate done, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Counts the pixels of `rect` whose colour is within `tolerance` of `colour`.
inline int PixelsNear(const QImage& image, const QRect& rect, const QColor& colour,
                      int tolerance = 40) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) <= tolerance &&
                std::abs(pixel.green() - colour.green()) <= tolerance &&
                std::abs(pixel.blue() - colour.blue()) <= tolerance) {
                ++count;
            }
        }
    }
    return count;
}

// A shown main window with a recording launcher and a sort state of its own.
class ShownWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<MainWindow>(SharedActions(), launcher, sortState);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QtListControl& List() { return window->ServerList(); }

    RecordingLauncher launcher;
    SortState sortState;
    std::unique_ptr<MainWindow> window;
};

#ifdef QUILLARK_ARTIFACT_DIR
inline QString ArtifactPath(const QString& name) {
    QDir().mkpath(QUILLARK_ARTIFACT_DIR);
    return QString(QUILLARK_ARTIFACT_DIR) + "/" + name;
}
#endif

}  // namespace quillark::testing_support

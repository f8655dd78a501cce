// GoogleTest with a QApplication on the offscreen platform.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Under ThreadSanitizer: Qt is not instrumented, and its own threads (thread
// pool, platform plugin) synchronise through futexes that TSan cannot see, so
// the interceptors they call (memmove, new/delete) report races inside Qt.
// Ignore interceptor calls made from uninstrumented libraries; every access
// in our code is still checked. Merged with TSAN_OPTIONS, which may override.
extern "C" __attribute__((used)) const char* __tsan_default_options() {
    return "ignore_noninstrumented_modules=1";
}

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

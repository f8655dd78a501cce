#include "http/module_state.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace quillark {
namespace {

// The steps of all six slots, registered once for this test program: each
// appends to a log, and to stderr when a death-test child asks for it.
std::vector<std::string>& Log() {
    static std::vector<std::string> log;
    return log;
}
bool echo_to_stderr = false;

void Record(const std::string& entry) {
    Log().push_back(entry);
    if (echo_to_stderr) {
        std::fputs((entry + ";").c_str(), stderr);
    }
}

void RegisterAllSlotsOnce() {
    static const bool registered = [] {
        for (int slot = 1; slot <= 6; ++slot) {
            const std::string name = std::to_string(slot);
            EXPECT_TRUE(ModuleState::Register(
                static_cast<ModuleItem>(slot), [name] { Record("create " + name); },
                [name] { Record("free " + name); }));
        }
        return true;
    }();
    (void)registered;
}

TEST(ModuleState, CreatesAndFreesItemsInTableOrder) {
    RegisterAllSlotsOnce();
    ASSERT_FALSE(ModuleState::IsRunning());
    Log().clear();
    ModuleStartup();
    ModuleStartup();  // a second start-up changes nothing
    EXPECT_EQ(Log(), (std::vector<std::string>{"create 1", "create 2", "create 3", "create 4",
                                               "create 5", "create 6"}));
    std::shared_ptr<CookieJar> jar = SharedCookieJar();
    ASSERT_NE(jar, nullptr);
    EXPECT_EQ(jar->BuildCookieHeader("any.host"), "");
    EXPECT_EQ(jar->store().SectionCount(), 0);

    Log().clear();
    ModuleShutdown();
    ModuleShutdown();  // runs its steps once
    EXPECT_EQ(Log(), (std::vector<std::string>{"free 1", "free 2", "free 3", "free 4", "free 5",
                                               "free 6"}));
    EXPECT_EQ(SharedCookieJar(), nullptr);
    // A jar still held elsewhere stays usable after shutdown.
    EXPECT_TRUE(jar->SetCookie("h", "a", "1"));
}

TEST(ModuleState, SlotsTakeOneRegistrationAndUnknownSlotsNone) {
    RegisterAllSlotsOnce();
    EXPECT_FALSE(ModuleState::Register(
        ModuleItem::kServerInfoPieces, [] {}, [] {}));
    EXPECT_FALSE(ModuleState::Register(
        static_cast<ModuleItem>(7), [] {}, [] {}));
    EXPECT_FALSE(ModuleState::Register(
        static_cast<ModuleItem>(0), [] {}, [] {}));
}

TEST(ModuleStateDeathTest, ProgramEndRunsShutdownExactlyOnce) {
    RegisterAllSlotsOnce();
    EXPECT_EXIT(
        {
            ModuleStartup();
            echo_to_stderr = true;
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "^free 1;free 2;free 3;free 4;free 5;free 6;$");
}

}  // namespace
}  // namespace quillark

#include "http/module_state.h"

#include <array>
#include <cstdlib>
#include <mutex>

namespace quillark {
namespace {

constexpr size_t kSlots = 6;

struct Steps {
    ModuleState::Step create;
    ModuleState::Step free;
};

struct Registry {
    std::mutex mutex;
    std::array<Steps, kSlots> slots;
    bool running = false;
    std::shared_ptr<CookieJar> shared_jar;
};

// Built on first use, so subsystems may register from their static initialisers.
Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

std::array<Steps, kSlots> CopySteps(Registry& registry) {
    std::lock_guard lock(registry.mutex);
    return registry.slots;
}

}  // namespace

bool ModuleState::Register(ModuleItem item, Step create, Step free) {
    const int slot = static_cast<int>(item) - 1;
    if (slot < 0 || slot >= static_cast<int>(kSlots)) {
        return false;
    }
    Registry& registry = TheRegistry();
    bool create_now = false;
    {
        std::lock_guard lock(registry.mutex);
        Steps& steps = registry.slots[static_cast<size_t>(slot)];
        if (steps.create || steps.free) {
            return false;
        }
        steps = {std::move(create), std::move(free)};
        create_now = registry.running;
    }
    if (create_now) {
        const Steps steps = CopySteps(registry)[static_cast<size_t>(slot)];
        if (steps.create) {
            steps.create();
        }
    }
    return true;
}

void ModuleState::Startup() {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        if (registry.running) {
            return;
        }
        registry.running = true;
    }
    // Steps run outside the lock, so a step may itself register or read state.
    for (const Steps& steps : CopySteps(registry)) {
        if (steps.create) {
            steps.create();
        }
    }
    {
        std::lock_guard lock(registry.mutex);
        registry.shared_jar = std::make_shared<CookieJar>();
    }
    static std::once_flag at_exit;
    std::call_once(at_exit, [] { std::atexit([] { ModuleState::Shutdown(); }); });
}

void ModuleState::Shutdown() {
    Registry& registry = TheRegistry();
    {
        std::lock_guard lock(registry.mutex);
        if (!registry.running) {
            return;
        }
        registry.running = false;
    }
    for (const Steps& steps : CopySteps(registry)) {
        if (steps.free) {
            steps.free();
        }
    }
    std::lock_guard lock(registry.mutex);
    registry.shared_jar.reset();
}

bool ModuleState::IsRunning() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.running;
}

std::shared_ptr<CookieJar> ModuleState::SharedCookieJar() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.shared_jar;
}

}  // namespace quillark

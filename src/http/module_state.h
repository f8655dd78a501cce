#pragma once

// The program's module-level state: created once by ModuleStartup before the
// main window exists, freed once by ModuleShutdown at program end.
//
// Items, in the order ModuleStartup creates them and ModuleShutdown frees them:
//
//   1  row-colour registry          owned by the list view
//   2  server info pieces           owned by the region status feed
//   3  server status pieces         owned by the region status feed
//   4  status query pieces          owned by the region status feed
//   5  server select pieces         owned by the region status feed
//   6  subclass registry            owned by the list view
//   7  SharedCookieJar              owned here: the jar of cookie mode 2
//
// Plugging an item in. The subsystem that owns an item registers two steps for
// its slot, one that makes the empty item and one that frees it, without
// touching this file. The usual place is the .cpp that defines the item:
//
//     #include "http/module_state.h"
//     namespace {
//     const bool kRegistered = ModuleState::Register(
//         ModuleItem::kRowColourRegistry,
//         [] { /* make the empty registry */ },
//         [] { /* free it and everything it holds */ });
//     }
//
// Keep that registration in a .cpp the program links for other reasons (one
// that defines functions the program calls): the core is a static library, and
// the linker leaves out object files nothing refers to, registration and all.
// Alternatively call Register from the entry before ModuleStartup. A slot
// registered after ModuleStartup has run is created at once.
//
// ModuleStartup also arranges, once per process, for ModuleShutdown to run at
// exit. ModuleShutdown runs its steps only once per ModuleStartup, so the entry
// may call it itself as well. Both run on the main thread.

#include <functional>
#include <memory>

#include "http/cookie_jar.h"

namespace quillark {

enum class ModuleItem : int {
    kRowColourRegistry = 1,
    kServerInfoPieces = 2,
    kServerStatusPieces = 3,
    kStatusQueryPieces = 4,
    kServerSelectPieces = 5,
    kSubclassRegistry = 6,
};

class ModuleState {
  public:
    using Step = std::function<void()>;

    // False when the slot already has its steps.
    static bool Register(ModuleItem item, Step create, Step free);
    static void Startup();
    static void Shutdown();
    static bool IsRunning();
    // The module-wide jar; nullptr outside Startup..Shutdown. Holding the
    // pointer keeps the jar alive, so a thread still at work during shutdown
    // never touches a freed jar.
    static std::shared_ptr<CookieJar> SharedCookieJar();
};

inline void ModuleStartup() {
    ModuleState::Startup();
}
inline void ModuleShutdown() {
    ModuleState::Shutdown();
}
inline std::shared_ptr<CookieJar> SharedCookieJar() {
    return ModuleState::SharedCookieJar();
}

}  // namespace quillark

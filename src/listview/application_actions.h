#pragma once

// What the main window asks of the application (Part 1.1): the window starts
// LoadServerList on a thread of its own once, when it has been created, and
// runs StartTestPass on the UI thread for the button and the timer. The real
// implementation is the loader (Part 2.1) and the test pass (Part 3.1).

namespace quillark {

class ApplicationActions {
  public:
    virtual ~ApplicationActions() = default;
    // Part 2.1: the loader thread's body. Called on a detached thread.
    virtual void LoadServerList() = 0;
    // Part 3.1: runs on the calling thread (here the UI thread).
    virtual void StartTestPass() = 0;
};

// Does nothing: the window on its own, before the catalogue code exists.
class NoApplicationActions : public ApplicationActions {
  public:
    void LoadServerList() override {}
    void StartTestPass() override {}
};

}  // namespace quillark

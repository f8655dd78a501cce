#pragma once

// What the main window asks of the application: the window starts
// LoadServerList on a thread of its own once, when it has been created, and
// runs StartTestPass on the UI thread for the button and the timer. The real
// implementation is the loader and the test pass.

namespace quillark {

class ApplicationActions {
  public:
    virtual ~ApplicationActions() = default;
    // The loader thread's body. Called on a detached thread.
    virtual void LoadServerList() = 0;
    // The test pass: runs on the calling thread (here the UI thread).
    virtual void StartTestPass() = 0;
};

// Does nothing: the window on its own, before the catalogue code exists.
class NoApplicationActions : public ApplicationActions {
  public:
    void LoadServerList() override {}
    void StartTestPass() override {}
};

}  // namespace quillark

// Quillark's entry (Part 1.1): the window with an application that does
// nothing yet. The loader, the test pass and --headless are wired later.

#include <QApplication>

#include "app/main_window.h"
#include "listview/application_actions.h"
#include "platform/process_launcher.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    static quillark::NoApplicationActions actions;
    static quillark::PosixProcessLauncher launcher;
    // Never destroyed: threads that outlive the window end with the process
    // (Part 1.1) and may still call the list; Detach() turns their calls into no-ops.
    auto* window = new quillark::MainWindow(actions, launcher);
    window->show();
    const int result = application.exec();
    window->ServerList().Detach();
    return result;
}

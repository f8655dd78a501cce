#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "app/server_list_model.h"
#include "app/server_list_view.h"
#include "listview/list_control.h"

class QThread;

namespace quillark {

// The server list's ListControl: on the UI thread every operation runs at
// once; from any other thread it is carried to the UI thread and the caller
// waits. UpdateRow0 and Redraw are posted. Create it on the UI thread.
//
// Carrying: calls go into a queue of our own (std::mutex), and one posted
// Drain() per batch runs them on the UI thread in order; a waiting caller is
// released through a std::condition_variable. This is what
// Qt::BlockingQueuedConnection does, with the hand-over in code that
// ThreadSanitizer sees (Qt 6's own semaphore is a bare futex in an
// uninstrumented library), and with one event per batch instead of one per
// call.
//
// Detach() (the window is going away) makes every later operation a no-op
// that returns empty values, so threads that outlive the window do not touch
// a destroyed list.
class QtListControl : public QObject, public ListControl {
    Q_OBJECT
  public:
    QtListControl(WindowHandle notificationWindow, QWidget* viewParent);
    ~QtListControl() override;

    ServerListView* View() const { return view_; }
    ServerListModel* Model() const { return model_; }
    void Detach();

    int InsertRow(const std::string& text, int stateImage) override;
    void DeleteAllRows() override;
    int RowCount() override;
    std::string GetCellText(int row, int column) override;
    void SetCellText(int row, int column, const std::string& text) override;
    void SetStateImage(int row, int index) override;
    void SetRowValue(int row, std::int32_t value) override;
    int SelectedRow() override;
    int GetColumnImage(int column) override;
    void SetColumnImage(int column, int index) override;
    void SetHeaderImageList(HeaderImageList images) override;
    void SortRows(const RowComparator& comparator) override;
    void UpdateRow0() override;
    void Redraw() override;
    void SetWidth(int pixels) override;
    ListHandle ListWindow() const override { return handle_; }
    int GetStateImage(int row) override;
    std::int32_t GetRowValue(int row) override;
    WindowHandle NotificationWindow() const override { return notificationWindow_; }
    void RunOnOwnerThread(const std::function<void()>& task) override;

    // Runs the queued calls (UI thread).
    Q_INVOKABLE void Drain();

  private:
    struct Completion;
    struct PendingCall {
        std::function<void()> work;
        std::shared_ptr<Completion> done;  // null for a posted call
    };
    void Enqueue(std::function<void()> work, std::shared_ptr<Completion> done);
    void CallAndWait(const std::function<void()>& work);
    bool OnOwnerThread() const;
    template <typename Result, typename Work>
    Result Call(Work work);
    template <typename Work>
    void Post(Work work);

    QThread* const owner_;
    const ListHandle handle_;
    const WindowHandle notificationWindow_;
    std::atomic<bool> detached_{false};
    std::mutex queueLock_;
    std::deque<PendingCall> queue_;
    bool drainPosted_ = false;
    // Touched on the UI thread only.
    QPointer<ServerListModel> model_;
    QPointer<ServerListView> view_;
};

}  // namespace quillark

#include "app/qt_list_control.h"

#include <QMetaObject>
#include <QThread>
#include <condition_variable>

namespace quillark {

QtListControl::QtListControl(WindowHandle notificationWindow, QWidget* viewParent)
    : owner_(QThread::currentThread()),
      handle_(AllocateWindowHandle()),
      notificationWindow_(notificationWindow) {
    model_ = new ServerListModel(this);
    view_ = new ServerListView(model_, handle_, notificationWindow_, viewParent);
    view_->setObjectName("listView");
}

struct QtListControl::Completion {
    std::mutex lock;
    std::condition_variable finished;
    bool done = false;

    void Finish() {
        std::lock_guard guard(lock);
        done = true;
        finished.notify_all();
    }
    void Wait() {
        std::unique_lock guard(lock);
        finished.wait(guard, [this] { return done; });
    }
};

QtListControl::~QtListControl() {
    Detach();
    // Calls that never ran: release their callers with empty results.
    std::deque<PendingCall> abandoned;
    {
        std::lock_guard guard(queueLock_);
        abandoned.swap(queue_);
    }
    for (PendingCall& call : abandoned) {
        if (call.done) {
            call.done->Finish();
        }
    }
}

void QtListControl::Detach() {
    detached_ = true;
    view_ = nullptr;  // the view belongs to its parent widget
}

bool QtListControl::OnOwnerThread() const {
    return QThread::currentThread() == owner_;
}

void QtListControl::Enqueue(std::function<void()> work, std::shared_ptr<Completion> done) {
    bool post = false;
    {
        std::lock_guard guard(queueLock_);
        queue_.push_back(PendingCall{std::move(work), std::move(done)});
        post = !drainPosted_;
        drainPosted_ = true;
    }
    if (post) {
        QMetaObject::invokeMethod(this, "Drain", Qt::QueuedConnection);
    }
}

void QtListControl::Drain() {
    std::deque<PendingCall> batch;
    {
        std::lock_guard guard(queueLock_);
        batch.swap(queue_);
        drainPosted_ = false;
    }
    for (PendingCall& call : batch) {
        if (!detached_) {
            call.work();
        }
        if (call.done) {
            call.done->Finish();
        }
    }
}

void QtListControl::CallAndWait(const std::function<void()>& work) {
    auto done = std::make_shared<Completion>();
    Enqueue([&work] { work(); }, done);
    done->Wait();
}

template <typename Result, typename Work>
Result QtListControl::Call(Work work) {
    if (OnOwnerThread()) {
        if (detached_ || model_ == nullptr) {
            return Result();
        }
        return work();
    }
    if (detached_) {
        return Result();
    }
    Result result{};
    CallAndWait([&] {
        if (model_ != nullptr) {
            result = work();
        }
    });
    return result;
}

template <typename Work>
void QtListControl::Post(Work work) {
    if (detached_) {
        return;
    }
    Enqueue(
        [this, work] {
            if (view_ != nullptr) {
                work();
            }
        },
        nullptr);
}

namespace {
struct Done {};  // the result of an operation without one
}  // namespace

int QtListControl::InsertRow(const std::string& text, int stateImage) {
    return Call<int>([&] { return model_->InsertRow(text, stateImage); });
}

void QtListControl::DeleteAllRows() {
    Call<Done>([&] {
        model_->DeleteAllRows();
        return Done{};
    });
}

int QtListControl::RowCount() {
    return Call<int>([&] { return model_->rowCount(); });
}

std::string QtListControl::GetCellText(int row, int column) {
    return Call<std::string>([&] { return model_->CellText(row, column); });
}

void QtListControl::SetCellText(int row, int column, const std::string& text) {
    Call<Done>([&] {
        model_->SetCellText(row, column, text);
        return Done{};
    });
}

void QtListControl::SetStateImage(int row, int index) {
    Call<Done>([&] {
        model_->SetStateImage(row, index);
        return Done{};
    });
}

void QtListControl::SetRowValue(int row, std::int32_t value) {
    Call<Done>([&] {
        model_->SetRowValue(row, value);
        return Done{};
    });
}

int QtListControl::SelectedRow() {
    return Call<int>([&] {
        if (view_ == nullptr || view_->selectionModel() == nullptr) {
            return -1;
        }
        const QModelIndexList rows = view_->selectionModel()->selectedRows();
        int first = -1;
        for (const QModelIndex& index : rows) {
            if (first < 0 || index.row() < first) {
                first = index.row();
            }
        }
        return first;
    });
}

int QtListControl::GetColumnImage(int column) {
    return Call<int>([&] { return model_->ColumnImage(column); });
}

void QtListControl::SetColumnImage(int column, int index) {
    Call<Done>([&] {
        model_->SetColumnImage(column, index);
        return Done{};
    });
}

void QtListControl::SetHeaderImageList(HeaderImageList images) {
    Call<Done>([&] {
        model_->SetHeaderImages(images);
        return Done{};
    });
}

void QtListControl::SortRows(const RowComparator& comparator) {
    Call<Done>([&] {
        model_->SortRows(comparator);
        return Done{};
    });
}

void QtListControl::UpdateRow0() {
    Post([this] { view_->RepaintRow(0); });
}

void QtListControl::Redraw() {
    Post([this] { view_->viewport()->update(); });
}

void QtListControl::SetWidth(int pixels) {
    Call<Done>([&] {
        if (view_ != nullptr) {
            view_->resize(pixels, view_->height());
        }
        return Done{};
    });
}

int QtListControl::GetStateImage(int row) {
    return Call<int>([&] { return model_->StateImage(row); });
}

std::int32_t QtListControl::GetRowValue(int row) {
    return Call<std::int32_t>([&] { return model_->RowValue(row); });
}

void QtListControl::RunOnOwnerThread(const std::function<void()>& task) {
    if (OnOwnerThread() || detached_) {
        task();
        return;
    }
    CallAndWait(task);
}

}  // namespace quillark

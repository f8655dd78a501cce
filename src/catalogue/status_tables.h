#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace quillark {

// The four tables of one region-status fetch, cut from the three status
// resources. Immutable once published.
struct StatusTables {
    std::vector<std::string> server_info;    // 'id':'region name'
    std::vector<std::string> server_status;  // 'code':'label'
    std::vector<std::string> status_query;   // "id":"code"
    std::vector<std::string> server_select;  // "region name ... status:"0"}
};

// Holds the tables of the latest fetch. A fetch publishes a whole new set; a
// worker of an older pass keeps reading the snapshot it took, which stays
// alive until its last reader lets go of it.
class StatusTableStore {
  public:
    StatusTableStore() : current_(std::make_shared<const StatusTables>()) {}

    void Publish(std::shared_ptr<const StatusTables> tables) {
        std::lock_guard lock(mutex_);
        current_ = std::move(tables);
    }
    std::shared_ptr<const StatusTables> Snapshot() const {
        std::lock_guard lock(mutex_);
        return current_;
    }

  private:
    mutable std::mutex mutex_;
    std::shared_ptr<const StatusTables> current_;
};

}  // namespace quillark

#pragma once

#include <QWidget>
#include <memory>

#include "app/interval_timer.h"
#include "app/qt_list_control.h"
#include "listview/application_actions.h"
#include "listview/column_sort.h"
#include "listview/window_procedures.h"
#include "platform/process_launcher.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace quillark {

// The main window and its event wiring.
//
// The window is the notification window of the server list: the list's
// notifications (custom draw, column click, right click, activation) go to
// this window's procedure chain (window_procedures.h), where the row colouring's
// RowColourWindowProc goes in front once a row is coloured.
class MainWindow : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kOuterWidth = 848;
    static constexpr int kOuterHeight = 583;
    static constexpr int kListHeight = 483;

    MainWindow(ApplicationActions& actions, ProcessLauncher& launcher,
               SortState& sortState = ProcessSortState(), QWidget* parent = nullptr);
    ~MainWindow() override;

    // The server list's operations, valid while the window lives.
    QtListControl& ServerList() { return *list_; }
    WindowHandle NotificationHandle() const { return window_.Handle(); }

    // The controls, by their design names.
    ServerListView* ListView() const { return list_->View(); }
    QTabBar* Tabs() const { return tabBar_; }
    QWidget* Page(int tab) const { return pages_[tab]; }
    QComboBox* IntervalCombo() const { return combo_; }
    IntervalTimer& Timer() { return timer_; }
    QPushButton* TestButton() const { return button_; }
    QMenu* RowMenu() const { return menu_; }
    QTreeWidget* GlobalPingList() const { return globalList_; }
    QWidget* HelpLabel() const { return helpLabel_; }
    QLabel* UpdateLink() const { return updateLink_; }

    // The help text, exactly (UTF-8, CR LF line breaks).
    static QString HelpText();

    // Row command handlers.
    void ShowRowMenu();
    void ContinuousPing();
    void TraceRoute();
    void OpenUpdatePage();
    void OpenGlobalPingRow(int row);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::intptr_t WindowProcedure(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam);
    void OnCreated();
    void ApplyOuterSize();
    void BuildServerTab(QWidget* page);
    void BuildGlobalPingTab(QWidget* page);
    void BuildHelpTab(QWidget* page);
    void SelectTab(int tab);
    std::string SelectedHost();

    ApplicationActions& actions_;
    ProcessLauncher& launcher_;
    SortState& sortState_;
    NotificationWindow window_;
    bool created_ = false;

    QWidget* tabControl_ = nullptr;
    QTabBar* tabBar_ = nullptr;
    QWidget* pages_[3] = {};
    std::unique_ptr<QtListControl> list_;
    QComboBox* combo_ = nullptr;
    QPushButton* button_ = nullptr;
    IntervalTimer timer_;
    QMenu* menu_ = nullptr;
    QTreeWidget* globalList_ = nullptr;
    QWidget* helpLabel_ = nullptr;
    QLabel* updateLink_ = nullptr;
};

}  // namespace quillark

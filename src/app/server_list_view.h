#pragma once

#include <QTreeView>

#include "listview/row_colours.h"

namespace quillark {

class ServerListModel;

// The server list `listView`: a report list whose rows are painted through
// the custom-draw path of the row colouring. Every paint sends the prepaint
// notification to the notification window's procedure chain; when that asks
// for item notifications, every row sends its item notification and is drawn
// in the colours that come back. Header clicks, right clicks and activation
// are sent the same way, as WM_NOTIFY through the chain.
class ServerListView : public QTreeView {
    Q_OBJECT
  public:
    ServerListView(ServerListModel* model, ListHandle handle, WindowHandle notificationWindow,
                   QWidget* parent);

    ListHandle Handle() const { return handle_; }
    WindowHandle NotificationWindowHandle() const { return notificationWindow_; }
    // The list's own colours (black on white).
    static constexpr Colour kListText = Rgb(0, 0, 0);
    static constexpr Colour kListBackground = Rgb(255, 255, 255);

    // Custom-draw state of a row as the list reports it (CDIS_*).
    std::uint32_t ItemState(int row) const;
    void RepaintRow(int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void Notify(std::int32_t code, int item, int subItem);

    const ListHandle handle_;
    const WindowHandle notificationWindow_;
    bool itemNotifications_ = false;  // answer of this paint's prepaint stage
};

}  // namespace quillark

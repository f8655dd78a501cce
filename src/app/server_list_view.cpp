#include "app/server_list_view.h"

#include <QHeaderView>
#include <QPainter>

#include "app/server_list_model.h"
#include "listview/list_notifications.h"

namespace quillark {
namespace {

QColor ToQColor(Colour colour) {
    return QColor(static_cast<int>(RedOf(colour)), static_cast<int>(GreenOf(colour)),
                  static_cast<int>(BlueOf(colour)));
}

}  // namespace

ServerListView::ServerListView(ServerListModel* model, ListHandle handle,
                               WindowHandle notificationWindow, QWidget* parent)
    : QTreeView(parent), handle_(handle), notificationWindow_(notificationWindow) {
    setModel(model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);  // sorting is our own, never Qt's
    setIconSize(QSize(12, 12));
    setFrameShape(QFrame::Box);  // a thin static edge
    setFrameShadow(QFrame::Plain);
    setLineWidth(1);
    setContextMenuPolicy(Qt::CustomContextMenu);
    QFont listFont = font();
    listFont.setPixelSize(12);
    listFont.setWeight(QFont::Normal);
    setFont(listFont);
    QPalette colours = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, ToQColor(kListText));
        colours.setColor(group, QPalette::Base, ToQColor(kListBackground));
        colours.setColor(group, QPalette::Window, ToQColor(kListBackground));
    }
    setPalette(colours);

    QHeaderView* head = header();
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    head->setStretchLastSection(false);
    head->setHighlightSections(false);
    head->setSortIndicatorShown(false);
    head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (const ColumnSpec& column : server_list::kColumns) {
        head->resizeSection(column.index, column.width);
    }

    connect(head, &QHeaderView::sectionClicked, this,
            [this](int column) { Notify(kLvnColumnClick, -1, column); });
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Notify(kNmRightClick, indexAt(at).row(), -1); });
    connect(this, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { Notify(kLvnItemActivate, index.row(), 0); });
}

void ServerListView::Notify(std::int32_t code, int item, int subItem) {
    ListNotification notification;
    notification.header = NotifyHeader{handle_, 0, code};
    notification.item = item;
    notification.subItem = subItem;
    SendWindowMessage(notificationWindow_, kWmNotify, 0,
                      reinterpret_cast<std::intptr_t>(&notification));
}

std::uint32_t ServerListView::ItemState(int row) const {
    std::uint32_t state = 0;
    const QModelIndex index = model()->index(row, 0);
    if (selectionModel() != nullptr && selectionModel()->isRowSelected(row, {})) {
        state |= kCdisSelected;
    }
    if (hasFocus()) {
        if (currentIndex().isValid() && currentIndex().row() == index.row()) {
            state |= kCdisFocus;
        }
        // Keyboard cues are taken as shown while the list has the focus (the
        // platform setting "always underline access keys").
        state |= kCdisShowKeyboardCues;
    }
    return state;
}

void ServerListView::RepaintRow(int row) {
    const QRect rect = visualRect(model()->index(row, 0));
    if (rect.isValid()) {
        viewport()->update(QRect(0, rect.top(), viewport()->width(), rect.height()));
    }
}

void ServerListView::paintEvent(QPaintEvent* event) {
    itemNotifications_ = CustomDrawPrepaint(notificationWindow_, handle_);
    QTreeView::paintEvent(event);
}

void ServerListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    DrawnColours colours{kListText, kListBackground};
    if (itemNotifications_) {
        colours = CustomDrawItem(notificationWindow_, handle_, index.row(), ItemState(index.row()),
                                 kListText, kListBackground);
    }
    QStyleOptionViewItem rowOption = option;
    const QColor text = ToQColor(colours.text);
    const QColor background = ToQColor(colours.background);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        rowOption.palette.setColor(group, QPalette::Text, text);
        rowOption.palette.setColor(group, QPalette::WindowText, text);
        if (!hasFocus()) {
            // The selection is not shown while the list lacks the keyboard focus.
            rowOption.palette.setColor(group, QPalette::Highlight, background);
            rowOption.palette.setColor(group, QPalette::HighlightedText, text);
        }
    }
    if (colours.background != kListBackground) {
        painter->fillRect(QRect(0, option.rect.top(), viewport()->width(), option.rect.height()),
                          background);
    }
    QTreeView::drawRow(painter, rowOption, index);
}

void ServerListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void ServerListView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

}  // namespace quillark

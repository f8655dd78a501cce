#include "app/main_window.h"

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTreeWidget>
#include <thread>

#include "listview/list_notifications.h"
#include "listview/row_commands.h"
#include "listview/row_lock.h"
#include "listview/server_list_columns.h"

// The pictures live in a static library: make sure their resource is linked
// and registered (outside any namespace, as Q_INIT_RESOURCE requires).
static void InitQuillarkResources() {
    Q_INIT_RESOURCE(quillark);
}

namespace quillark {
namespace {

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const QColor kWindowBackground(252, 252, 254);
const QColor kHelpBlue(0, 136, 255);

// 组合框1: text and item value (seconds).
struct IntervalItem {
    const char* text;
    int seconds;
};
constexpr IntervalItem kIntervals[] = {{"手动测速", 0}, {"5秒", 5},   {"10秒", 10},
                                       {"20秒", 20},    {"30秒", 30}, {"60秒", 60}};

QFont PixelFont(int pixels, const QStringList& families = {}) {
    QFont font;
    if (!families.isEmpty()) {
        font.setFamilies(families);
    }
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    return font;
}

// A transparent label that draws its lines (CR LF separated) at a fixed
// pitch, as the design's 12-pixel font lays them out.
class FixedPitchLabel : public QWidget {
  public:
    FixedPitchLabel(const QString& text, int pitch, QWidget* parent)
        : QWidget(parent), lines_(QString(text).replace("\r\n", "\n").split('\n')), pitch_(pitch) {
        setAttribute(Qt::WA_TranslucentBackground);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        for (int i = 0; i < lines_.size(); ++i) {
            painter.drawText(QRect(0, i * pitch_, width(), pitch_),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, lines_[i]);
        }
    }

  private:
    QStringList lines_;
    int pitch_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(Utf8(name));
    label->setGeometry(geometry);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

}  // namespace

QString MainWindow::HelpText() {
    return Utf8(
        "【Quillark】\r\n\r\n服务器列表、大区状态读取自英雄联盟官方服务器，保证数据最准确。\r\n\r\n"
        "全球Ping功能可同时从全国乃至全球上百个地区测试LOL服务器ping值，此功能在开发中。\r\n\r\n"
        "注意：某些大区（比如影流）拥有多个IP用于负载均衡，测速时IP会随机变化。\r\n\r\n\r\n\r\n"
        "【大区状态说明】\r\n\r\n正常： 该区服务器可正常登入\r\n\r\n"
        "拥挤： 该区服务器拥挤，可能需短时排队\r\n\r\n"
        "满载： 该区服务器满载，可能需长时间排队\r\n\r\n"
        "维护： 该区服务器正在维护，建议选择正常大区游戏\r\n");
}

MainWindow::MainWindow(ApplicationActions& actions, ProcessLauncher& launcher, SortState& sortState,
                       QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      actions_(actions),
      launcher_(launcher),
      sortState_(sortState),
      window_([this](std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
          return WindowProcedure(message, wParam, lParam);
      }) {
    InitQuillarkResources();
    setWindowTitle("Quillark v1.3");
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, kWindowBackground);
    setPalette(background);
    ApplyOuterSize();

    // 高级选择夹1: the tab control. Its pages cover its whole area, as the
    // design's coordinates count from the tab control's top left corner.
    tabControl_ = new QWidget(this);
    tabControl_->setObjectName(Utf8("高级选择夹1"));
    tabControl_->setGeometry(0, 1, 864, 560);
    for (int tab = 0; tab < 3; ++tab) {
        pages_[tab] = new QWidget(tabControl_);
        pages_[tab]->setGeometry(0, 0, 864, 560);
    }
    tabBar_ = new QTabBar(tabControl_);
    tabBar_->setFont(PixelFont(12, {"SimSun", Utf8("宋体")}));
    tabBar_->setIconSize(QSize(16, 16));
    tabBar_->setDrawBase(false);
    tabBar_->addTab(QIcon(":/quillark/tab_servers.png"), Utf8("LOL服务器"));
    tabBar_->addTab(QIcon(":/quillark/tab_global.png"), Utf8("全球Ping"));
    tabBar_->addTab(QIcon(":/quillark/tab_help.png"), Utf8("帮助信息"));
    tabBar_->setGeometry(0, 0, tabBar_->sizeHint().width(), 22);
    tabBar_->raise();
    connect(tabBar_, &QTabBar::currentChanged, this, &MainWindow::SelectTab);

    BuildServerTab(pages_[0]);
    BuildGlobalPingTab(pages_[1]);
    BuildHelpTab(pages_[2]);
    tabBar_->setCurrentIndex(0);
    SelectTab(0);
}

MainWindow::~MainWindow() {
    row_lock::Delete();  // "about to be destroyed"
    list_->Detach();
    delete tabControl_;  // the list view goes while its model still exists
}

void MainWindow::ApplyOuterSize() {
    // The design fixes the outer size; Qt fixes the client size. Subtract the
    // frame the window system draws (none on the offscreen platform).
    const QSize frame = isVisible() ? frameGeometry().size() - geometry().size() : QSize(0, 0);
    setFixedSize(QSize(kOuterWidth, kOuterHeight) - frame);
}

void MainWindow::BuildServerTab(QWidget* page) {
    list_ = std::make_unique<QtListControl>(window_.Handle(), page);
    ServerListView* view = list_->View();
    view->setGeometry(0, 23, 832, kListHeight);
    // The placeholder row.
    const int row = list_->InsertRow(ToGbk(Utf8(server_list::kPlaceholderNameUtf8)),
                                     server_list::kStateNotMeasured);
    list_->SetCellText(row, server_list::kColumnRegion,
                       std::string(server_list::kPlaceholderAddress));

    MakeLabel(page, "透明标签3", QRect(9, 520, 80, 24), Utf8("自动测速间隔："))
        ->setFont(PixelFont(12));

    combo_ = new QComboBox(page);
    combo_->setObjectName(Utf8("组合框1"));
    combo_->setGeometry(92, 522, 112, 20);
    combo_->setEditable(false);
    combo_->setFont(PixelFont(12));
    for (const IntervalItem& item : kIntervals) {
        combo_->addItem(Utf8(item.text), item.seconds);
    }
    combo_->setCurrentIndex(0);
    connect(combo_, &QComboBox::activated, this,
            [this](int index) { timer_.SetPeriod(combo_->itemData(index).toInt() * 1000); });
    connect(&timer_, &IntervalTimer::Elapsed, this, [this] { actions_.StartTestPass(); });

    button_ = new QPushButton(QIcon(":/quillark/button_test.png"), Utf8("手动测速"), page);
    button_->setObjectName(Utf8("超级按钮1"));
    button_->setGeometry(720, 515, 104, 32);
    button_->setIconSize(QSize(24, 24));
    button_->setFont(PixelFont(14));
    button_->setCursor(Qt::PointingHandCursor);
    connect(button_, &QPushButton::clicked, this, [this] { actions_.StartTestPass(); });

    menu_ = new QMenu(this);
    menu_->setObjectName(Utf8("右键1"));
    connect(menu_->addAction(Utf8("持续 Ping")), &QAction::triggered, this,
            &MainWindow::ContinuousPing);
    menu_->addSeparator();
    connect(menu_->addAction(Utf8("路由追踪")), &QAction::triggered, this, &MainWindow::TraceRoute);
}

void MainWindow::BuildGlobalPingTab(QWidget* page) {
    globalList_ = new QTreeWidget(page);
    globalList_->setObjectName(Utf8("超级列表框1"));
    globalList_->setGeometry(0, 23, 872, 554);
    globalList_->setRootIsDecorated(false);
    globalList_->setItemsExpandable(false);
    globalList_->setAllColumnsShowFocus(true);
    globalList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    globalList_->setSelectionMode(QAbstractItemView::SingleSelection);
    globalList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    globalList_->setSortingEnabled(false);
    globalList_->setFrameShape(QFrame::StyledPanel);
    globalList_->setFrameShadow(QFrame::Sunken);
    QPalette colours = globalList_->palette();
    colours.setColor(QPalette::Text, Qt::black);
    colours.setColor(QPalette::Base, Qt::white);
    globalList_->setPalette(colours);
    QStringList titles;
    for (const ColumnSpec& column : global_ping_list::kColumns) {
        titles << Utf8(column.titleUtf8);
    }
    globalList_->setColumnCount(global_ping_list::kColumnCount);
    globalList_->setHeaderLabels(titles);
    globalList_->header()->setSectionsMovable(false);
    globalList_->header()->setSectionsClickable(true);  // clicks do nothing
    globalList_->header()->setStretchLastSection(false);
    for (const ColumnSpec& column : global_ping_list::kColumns) {
        globalList_->header()->resizeSection(column.index, column.width);
    }
    connect(globalList_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { OpenGlobalPingRow(index.row()); });
}

void MainWindow::BuildHelpTab(QWidget* page) {
    // 透明标签1: the help text, blue, with its line breaks. The design's box
    // (488 x 264) holds its 22 visible lines at a 12-pixel line pitch.
    helpLabel_ = new FixedPitchLabel(HelpText(), 12, page);
    helpLabel_->setObjectName(Utf8("透明标签1"));
    helpLabel_->setGeometry(221, 72, 488, 264);
    helpLabel_->setFont(PixelFont(12));
    helpLabel_->setProperty("sourceText", HelpText());
    QPalette blue = helpLabel_->palette();
    blue.setColor(QPalette::WindowText, kHelpBlue);
    helpLabel_->setPalette(blue);

    auto* logo = new QLabel(page);
    logo->setObjectName(Utf8("图片框1"));
    logo->setGeometry(53, 69, 96, 96);
    logo->setPixmap(QPixmap(":/quillark/logo.png"));

    auto* code = new QLabel(page);
    code->setObjectName(Utf8("图片框2"));
    code->setGeometry(211, 382, 150, 150);
    code->setPixmap(QPixmap(":/quillark/qr_code.png"));

    auto* donation = MakeLabel(page, "超级链接框2", QRect(413, 392, 192, 24),
                               QString("<a href=\"%1\">%2</a>")
                                   .arg(Utf8(kDonationAddress), Utf8("觉得好用？请作者喝杯咖啡")));
    donation->setFont(PixelFont(12));
    donation->setTextFormat(Qt::RichText);
    donation->setCursor(Qt::PointingHandCursor);
    connect(donation, &QLabel::linkActivated, this, [this](const QString& link) {
        RunCommandLine(BrowserCommand() + " " + link.toStdString(), launcher_);
    });

    auto* hint = MakeLabel(page, "透明标签4", QRect(413, 432, 288, 16),
                           Utf8("← 用手机扫描左侧二维码即可捐助，谢谢支持！"));
    hint->setFont(PixelFont(12));
    hint->setCursor(Qt::PointingHandCursor);

    updateLink_ = MakeLabel(page, "透明标签2", QRect(413, 467, 264, 16),
                            Utf8("更新下载： ") + Utf8(kUpdatePageAddress) + "\r\n");
    updateLink_->setFont(PixelFont(12));
    updateLink_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    updateLink_->setCursor(Qt::PointingHandCursor);
    updateLink_->installEventFilter(this);

    auto* rights = new QLabel(Utf8("Quillark © 本程序作者 保留所有权利"), page);
    rights->setObjectName(Utf8("标签1"));
    rights->setGeometry(413, 503, 257, 21);
    rights->setFont(PixelFont(12));
}

void MainWindow::SelectTab(int tab) {
    for (int i = 0; i < 3; ++i) {
        pages_[i]->setVisible(i == tab);
    }
    tabBar_->raise();
}

std::intptr_t MainWindow::WindowProcedure(std::uint32_t message, std::uintptr_t /*wParam*/,
                                          std::intptr_t lParam) {
    if (message != kWmNotify || lParam == 0) {
        return 0;
    }
    const auto* header = reinterpret_cast<const NotifyHeader*>(lParam);
    if (list_ == nullptr || header->hwndFrom != list_->ListWindow()) {
        return 0;
    }
    const auto* notification = reinterpret_cast<const ListNotification*>(lParam);
    switch (header->code) {
        case kLvnColumnClick:
            sortState_.SortListByColumn(*list_, notification->subItem,
                                        SortTypeForColumn(notification->subItem));
            return 0;
        case kNmRightClick:
            ShowRowMenu();
            return 0;
        case kLvnItemActivate:
            ContinuousPing();
            return 0;
        default:
            return 0;  // NM_CUSTOMDRAW: CDRF_DODEFAULT, as the default procedure answers
    }
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (created_) {
        return;
    }
    created_ = true;
    ApplyOuterSize();
    if (QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    OnCreated();
}

void MainWindow::OnCreated() {
    row_lock::Create();
    std::thread([&actions = actions_] { actions.LoadServerList(); }).detach();
    button_->setFocus(Qt::OtherFocusReason);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (list_ != nullptr) {
        list_->SetWidth(width());
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == updateLink_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OpenUpdatePage();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

std::string MainWindow::SelectedHost() {
    return list_->GetCellText(list_->SelectedRow(), server_list::kColumnHost);
}

void MainWindow::ShowRowMenu() {
    menu_->popup(QCursor::pos() + QPoint(3, 3));
}

void MainWindow::ContinuousPing() {
    RunCommandLine(ContinuousPingCommandLine(SelectedHost()), launcher_);
}

void MainWindow::TraceRoute() {
    RunCommandLine(TraceRouteCommandLine(SelectedHost()), launcher_);
}

void MainWindow::OpenUpdatePage() {
    RunCommandLine(BrowserCommand() + " " + std::string(kUpdatePageAddress), launcher_);
}

void MainWindow::OpenGlobalPingRow(int row) {
    QTreeWidgetItem* item = globalList_->topLevelItem(row);
    const std::string address = item != nullptr ? item->text(1).toStdString() : std::string();
    RunCommandLine(BrowserCommand() + " " + address, launcher_);
}

}  // namespace quillark

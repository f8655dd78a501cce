#include "app/server_list_model.h"

#include <algorithm>
#include <numeric>

#include "platform/text_codec.h"

namespace quillark {

QString FromGbk(const std::string& gbk) {
    const std::u16string wide = TextCodec::GbkToUtf16(gbk);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string ToGbk(const QString& text) {
    return TextCodec::Utf16ToGbk(std::u16string_view(
        reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
}

ServerListModel::ServerListModel(QObject* parent) : QAbstractTableModel(parent) {
    columnImages_.fill(-1);
}

int ServerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ServerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : server_list::kColumnCount;
}

static Qt::Alignment AlignmentOf(int column) {
    const bool right =
        server_list::kColumns[static_cast<size_t>(column)].alignment == ColumnAlignment::kRight;
    return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !HasRow(index.row()) || !HasColumn(index.column())) {
        return {};
    }
    const Row& row = rows_[static_cast<size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return row.shown[static_cast<size_t>(index.column())];
        case Qt::DecorationRole:
            if (index.column() == 0) {
                const QPixmap picture = StatePicture(row.stateImage);
                if (!picture.isNull()) {
                    return picture;
                }
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(AlignmentOf(index.column()));
        default:
            return {};
    }
}

QVariant ServerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || !HasColumn(section)) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromUtf8(
                server_list::kColumns[static_cast<size_t>(section)].titleUtf8.data(),
                static_cast<qsizetype>(
                    server_list::kColumns[static_cast<size_t>(section)].titleUtf8.size()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(AlignmentOf(section));
        case Qt::DecorationRole:
            if (headerImages_ == HeaderImageList::kSortArrows) {
                const QPixmap picture = ArrowPicture(columnImages_[static_cast<size_t>(section)]);
                if (!picture.isNull()) {
                    return picture;
                }
            }
            return {};
        default:
            return {};
    }
}

int ServerListModel::InsertRow(const std::string& text, int stateImage) {
    const int row = static_cast<int>(rows_.size());
    beginInsertRows({}, row, row);
    Row added;
    added.cells[0] = text;
    added.shown[0] = FromGbk(text);
    added.stateImage = stateImage < 0 ? -1 : stateImage;
    rows_.push_back(std::move(added));
    endInsertRows();
    return row;
}

void ServerListModel::DeleteAllRows() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

std::string ServerListModel::CellText(int row, int column) const {
    if (!HasRow(row) || !HasColumn(column)) {
        return {};
    }
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

void ServerListModel::SetCellText(int row, int column, const std::string& text) {
    if (!HasRow(row) || !HasColumn(column)) {
        return;
    }
    Row& target = rows_[static_cast<size_t>(row)];
    target.cells[static_cast<size_t>(column)] = text;
    target.shown[static_cast<size_t>(column)] = FromGbk(text);
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

int ServerListModel::StateImage(int row) const {
    return HasRow(row) ? rows_[static_cast<size_t>(row)].stateImage : -1;
}

void ServerListModel::SetStateImage(int row, int index) {
    if (!HasRow(row)) {
        return;
    }
    rows_[static_cast<size_t>(row)].stateImage = index < 0 ? -1 : index;
    const QModelIndex cell = this->index(row, 0);
    emit dataChanged(cell, cell, {Qt::DecorationRole});
}

std::int32_t ServerListModel::RowValue(int row) const {
    return HasRow(row) ? rows_[static_cast<size_t>(row)].value : 0;
}

void ServerListModel::SetRowValue(int row, std::int32_t value) {
    if (HasRow(row)) {
        rows_[static_cast<size_t>(row)].value = value;
    }
}

int ServerListModel::ColumnImage(int column) const {
    return HasColumn(column) ? columnImages_[static_cast<size_t>(column)] : -1;
}

void ServerListModel::SetColumnImage(int column, int index) {
    if (!HasColumn(column)) {
        return;
    }
    columnImages_[static_cast<size_t>(column)] = index < 0 ? -1 : index;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void ServerListModel::SetHeaderImages(HeaderImageList images) {
    headerImages_ = images;
    emit headerDataChanged(Qt::Horizontal, 0, server_list::kColumnCount - 1);
}

void ServerListModel::SortRows(const RowComparator& comparator) {
    std::vector<size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return comparator(rows_[a].value, rows_[b].value, 0) < 0;
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newRowOf(rows_.size());
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (size_t position = 0; position < order.size(); ++position) {
        newRowOf[order[position]] = static_cast<int>(position);
        sorted.push_back(std::move(rows_[order[position]]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before) {
        after.push_back(index(newRowOf[static_cast<size_t>(old.row())], old.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QPixmap ServerListModel::StatePicture(int index) {
    // Never destroyed: a pixmap must not outlive the application object.
    static const auto* pictures = new std::array<QPixmap, 3>{QPixmap(":/quillark/state_green.png"),
                                                             QPixmap(":/quillark/state_grey.png"),
                                                             QPixmap(":/quillark/state_amber.png")};
    return (index >= 0 && index < 3) ? (*pictures)[static_cast<size_t>(index)] : QPixmap();
}

QPixmap ServerListModel::ArrowPicture(int index) {
    static const auto* pictures = new std::array<QPixmap, 2>{QPixmap(":/quillark/arrow_up.png"),
                                                             QPixmap(":/quillark/arrow_down.png")};
    return (index >= 0 && index < 2) ? (*pictures)[static_cast<size_t>(index)] : QPixmap();
}

}  // namespace quillark

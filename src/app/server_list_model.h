#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>
#include <array>
#include <string>
#include <vector>

#include "listview/list_control.h"
#include "listview/server_list_columns.h"

namespace quillark {

// The rows of a report list: GBK texts per cell, state picture, item value,
// and the header's column pictures. Used on the UI thread only (QtListControl
// carries every call there).
class ServerListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ServerListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    int InsertRow(const std::string& text, int stateImage);
    void DeleteAllRows();
    std::string CellText(int row, int column) const;
    void SetCellText(int row, int column, const std::string& text);
    int StateImage(int row) const;
    void SetStateImage(int row, int index);
    std::int32_t RowValue(int row) const;
    void SetRowValue(int row, std::int32_t value);
    int ColumnImage(int column) const;
    void SetColumnImage(int column, int index);
    HeaderImageList HeaderImages() const { return headerImages_; }
    void SetHeaderImages(HeaderImageList images);
    // Stable sort by the comparator over row values; selection and current
    // row follow their rows (persistent indexes).
    void SortRows(const RowComparator& comparator);

    static QPixmap StatePicture(int index);  // 12 x 12, null for an unknown index
    static QPixmap ArrowPicture(int index);  // 8 x 7, null for an unknown index

  private:
    struct Row {
        std::array<std::string, server_list::kColumnCount> cells;
        std::array<QString, server_list::kColumnCount> shown;
        int stateImage = -1;
        std::int32_t value = 0;
    };
    bool HasRow(int row) const { return row >= 0 && static_cast<size_t>(row) < rows_.size(); }
    static bool HasColumn(int column) { return column >= 0 && column < server_list::kColumnCount; }

    std::vector<Row> rows_;
    std::array<int, server_list::kColumnCount> columnImages_;
    HeaderImageList headerImages_ = HeaderImageList::kNone;
};

// GBK <-> QString.
QString FromGbk(const std::string& gbk);
std::string ToGbk(const QString& text);

}  // namespace quillark

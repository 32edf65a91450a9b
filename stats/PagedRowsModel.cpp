#include "stats/PagedRowsModel.h"

#include <utility>

namespace tonvik {

PagedRowsModel::PagedRowsModel(QStringList headers, std::vector<Qt::Alignment> alignments,
                               int pageRows, QObject* parent)
    : QAbstractTableModel(parent), Headers(std::move(headers)), Alignments(std::move(alignments)),
      PageRows(pageRows > 0 ? pageRows : 1) {}

void PagedRowsModel::Reset(Fetch fetch) {
    beginResetModel();
    Rows.clear();
    Source = std::move(fetch);
    AtEnd = !Source;
    endResetModel();
    FetchPage();
}

void PagedRowsModel::Clear() {
    Reset(Fetch());
}

int PagedRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Rows.size());
}

int PagedRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Headers.size());
}

QVariant PagedRowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return QVariant();
    if (role == Qt::DisplayRole) {
        const QStringList& row = Rows[static_cast<size_t>(index.row())];
        return index.column() < row.size() ? row[index.column()] : QString();
    }
    if (role == Qt::TextAlignmentRole && static_cast<size_t>(index.column()) < Alignments.size())
        return QVariant::fromValue(Alignments[static_cast<size_t>(index.column())] |
                                   Qt::AlignVCenter);
    return QVariant();
}

QVariant PagedRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < Headers.size() ? Headers[section] : QVariant();
    return section + 1;
}

bool PagedRowsModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !AtEnd;
}

void PagedRowsModel::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        FetchPage();
}

void PagedRowsModel::FetchPage() {
    if (AtEnd)
        return;
    std::vector<QStringList> page = Source(PageRows, static_cast<int>(Rows.size()));
    AtEnd = static_cast<int>(page.size()) < PageRows;
    if (page.empty())
        return;
    const int first = static_cast<int>(Rows.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(page.size()) - 1);
    for (QStringList& row : page)
        Rows.push_back(std::move(row));
    endInsertRows();
}

} // namespace tonvik

#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

namespace tonvik {

// A table of text rows read a page at a time, as a view scrolls towards its
// end: a long history costs only the rows that have been shown.
class PagedRowsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Reads at most limit rows from offset on, each as many cells as there
    // are headers; fewer than limit means the end.
    using Fetch = std::function<std::vector<QStringList>(int limit, int offset)>;

    PagedRowsModel(QStringList headers, std::vector<Qt::Alignment> alignments, int pageRows = 200,
                   QObject* parent = nullptr);

    // Drops every row and reads the first page from fetch.
    void Reset(Fetch fetch);
    // Drops every row and reads nothing.
    void Clear();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    void FetchPage();

    QStringList Headers;
    std::vector<Qt::Alignment> Alignments;
    int PageRows;
    Fetch Source;
    std::vector<QStringList> Rows;
    bool AtEnd = true;
};

} // namespace tonvik

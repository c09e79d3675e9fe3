#pragma once

#include <QAbstractListModel>
#include <QList>

// A list model whose rows are ascending indexes into a base list. Moving to a
// new set of rows announces exactly the runs removed and inserted, so views
// keep their delegates instead of rebuilding after every keystroke.
class AscendingRowsModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

protected:
    // Replaces m_rows with next (both ascending), announcing each change.
    void moveRowsTo(const QList<int> &next);
    // The row showing baseIndex, or -1.
    int rowOfBaseIndex(int baseIndex) const;

    QList<int> m_rows;
};

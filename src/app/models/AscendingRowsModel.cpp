#include "AscendingRowsModel.h"

#include <algorithm>

void AscendingRowsModel::moveRowsTo(const QList<int> &next)
{
    // Both lists ascend through the same base list: one walk finds the runs
    // of rows to remove and to insert, announced as they are applied.
    qsizetype row = 0;
    qsizetype j = 0;
    while (row < m_rows.size() || j < next.size()) {
        const bool haveOld = row < m_rows.size();
        const bool haveNew = j < next.size();
        if (haveOld && haveNew && m_rows[row] == next[j]) {
            ++row;
            ++j;
        } else if (haveOld && (!haveNew || m_rows[row] < next[j])) {
            qsizetype end = row + 1;
            while (end < m_rows.size() && (!haveNew || m_rows[end] < next[j]))
                ++end;
            beginRemoveRows({}, int(row), int(end - 1));
            m_rows.remove(row, end - row);
            endRemoveRows();
        } else {
            qsizetype k = j + 1;
            while (k < next.size() && (!haveOld || next[k] < m_rows[row]))
                ++k;
            beginInsertRows({}, int(row), int(row + (k - j) - 1));
            m_rows.insert(row, k - j, 0);
            std::copy(next.cbegin() + j, next.cbegin() + k, m_rows.begin() + row);
            endInsertRows();
            row += k - j;
            j = k;
        }
    }
}

int AscendingRowsModel::rowOfBaseIndex(int baseIndex) const
{
    const auto found = std::lower_bound(m_rows.cbegin(), m_rows.cend(), baseIndex);
    if (found != m_rows.cend() && *found == baseIndex)
        return int(found - m_rows.cbegin());
    return -1;
}

#include "app/dialog/sorted_insert.h"

#include <QComboBox>

namespace tinta {

void AddSorted(QComboBox& box, const QString& text) {
    if (box.findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive) >= 0) {
        return;
    }
    box.insertItem(SortedPosition(box.count(), text, [&](int i) { return box.itemText(i); }), text);
}

}  // namespace tinta

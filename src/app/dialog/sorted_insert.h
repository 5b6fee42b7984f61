// Sorted list boxes and combo boxes: entries in alphabetical order, letter
// case ignored, equal entries in the order they came.
#pragma once

#include <QString>

class QComboBox;

namespace tinta {

// Index at which text goes among the sorted texts at(0) .. at(count - 1).
template <typename TextAt>
int SortedPosition(int count, const QString& text, TextAt at) {
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(at(middle), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

// Adds text in its sorted place unless the box already holds exactly it.
void AddSorted(QComboBox& box, const QString& text);

}  // namespace tinta

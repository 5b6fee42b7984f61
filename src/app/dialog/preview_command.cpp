#include "app/dialog/preview_command.h"

#include <QListWidget>

#include "app/dialog/file_name_text.h"
#include "app/dialog/preview_window.h"

namespace tinta {

namespace {

bool LooksLikeFolderEntry(const QString& entry) {
    return entry.size() >= 2 && entry.startsWith(QLatin1Char('[')) &&
           entry.endsWith(QLatin1Char(']'));
}

// The entry's name with its file-name bytes (the list shows a display form).
QString EntryName(const QListWidgetItem& item) {
    const QVariant name = item.data(Qt::UserRole);
    return name.isValid() ? name.toString() : item.text();
}

}  // namespace

QString PreviewEntry(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (!selected.isEmpty()) {
        return EntryName(*selected.front());
    }
    for (int i = 0; i < list.count(); ++i) {
        if (!LooksLikeFolderEntry(EntryName(*list.item(i)))) {
            return EntryName(*list.item(i));
        }
    }
    return list.count() > 0 ? EntryName(*list.item(0)) : QString();
}

PreviewWindow& ShowPreview(QWidget& owner, const QListWidget& list, const QString& folder,
                           bool edging, PreviewPort& port) {
    auto* window = owner.findChild<PreviewWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (window == nullptr) {
        window = new PreviewWindow(&owner);
    }
    const QString entry = PreviewEntry(list);
    const PreviewContent content =
        entry.isEmpty() ? PreviewContent{} : port.MakePreview(folder, entry, edging);
    window->ShowContent(DisplayName(entry), content);
    window->show();
    window->raise();
    return *window;
}

}  // namespace tinta

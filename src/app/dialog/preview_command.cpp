#include "app/dialog/preview_command.h"

#include <QListWidget>

#include "app/dialog/preview_window.h"

namespace tinta {

namespace {

bool LooksLikeFolderEntry(const QString& entry) {
    return entry.size() >= 2 && entry.startsWith(QLatin1Char('[')) &&
           entry.endsWith(QLatin1Char(']'));
}

}  // namespace

QString PreviewEntry(const QListWidget& list) {
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (!selected.isEmpty()) {
        return selected.front()->text();
    }
    for (int i = 0; i < list.count(); ++i) {
        if (!LooksLikeFolderEntry(list.item(i)->text())) {
            return list.item(i)->text();
        }
    }
    return list.count() > 0 ? list.item(0)->text() : QString();
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
    window->ShowContent(entry, content);
    window->show();
    window->raise();
    return *window;
}

}  // namespace tinta

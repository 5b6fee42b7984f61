// The "プレビュー" command: picks the list entry, has the port make the
// pictures and shows them in the dialog's one preview window.
#pragma once

#include <QString>

#include "app/dialog/dialog_services.h"

class QListWidget;
class QWidget;

namespace tinta {

class PreviewWindow;

// The selected entry; with none selected the first entry that is not a
// "[name]" folder entry, else the first entry; empty for an empty list.
QString PreviewEntry(const QListWidget& list);

// Makes the preview of PreviewEntry(list) and shows it in owner's preview
// window, made on first use and reused after, so that pressing the button
// again (after new filter settings, say) shows the new result.
PreviewWindow& ShowPreview(QWidget& owner, const QListWidget& list, const QString& folder,
                           bool edging, PreviewPort& port);

}  // namespace tinta

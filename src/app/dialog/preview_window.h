// The window of the "プレビュー" command: one list entry before and after the
// filter, side by side, each scaled to fit its half, over a checkerboard;
// the entry's name and the picture's size above, and why a picture is
// missing below. It only shows what it is given.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include "app/dialog/dialog_services.h"

class QLabel;

namespace tinta {

class PicturePane;

inline constexpr char kPreviewCaption[] = "プレビュー";
inline constexpr char kBeforeCaption[] = "フィルター前";
inline constexpr char kAfterCaption[] = "フィルター後";
inline constexpr char kPreviewNoFileMessage[] = "プレビューするファイルがありません";
inline constexpr char kPreviewNotLoadedMessage[] = "画像を読み込めませんでした";

class PreviewWindow : public QDialog {
  public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Shows content for the list entry name (empty: there was none).
    void ShowContent(const QString& name, const PreviewContent& content);

    const QImage& Before() const;
    const QImage& After() const;
    QString InfoText() const;     // name and size
    QString ProblemText() const;  // empty when both pictures are there

  private:
    PicturePane* before_ = nullptr;
    PicturePane* after_ = nullptr;
    QLabel* info_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace tinta

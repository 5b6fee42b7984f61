// Dialog units to pixels, as the dialog templates define them: a horizontal
// unit is a quarter of the font's average character width, a vertical unit an
// eighth of its character height.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace tinta {

class DialogUnits {
  public:
    DialogUnits(int averageCharWidth, int charHeight);
    static DialogUnits ForFont(const QFont& font);

    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(const QRect& units) const;
    QSize ToPixels(const QSize& units) const;

    int averageCharWidth() const { return averageCharWidth_; }
    int charHeight() const { return charHeight_; }

  private:
    int averageCharWidth_;
    int charHeight_;
};

// The dialog font: IPAPGothic at 9 points, or the system font at 9 points
// where that face is not installed.
QFont DialogFont();

}  // namespace tinta

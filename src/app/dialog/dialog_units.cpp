#include "app/dialog/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace tinta {
namespace {

// value * numerator / denominator, rounded to the nearest integer.
int ScaleRounded(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

}  // namespace

DialogUnits::DialogUnits(int averageCharWidth, int charHeight)
    : averageCharWidth_(averageCharWidth), charHeight_(charHeight) {}

DialogUnits DialogUnits::ForFont(const QFont& font) {
    // The average width is that of the 52 Latin letters, rounded.
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogUnits((letters / 26 + 1) / 2, metrics.height());
}

int DialogUnits::X(int units) const {
    return ScaleRounded(units, averageCharWidth_, 4);
}
int DialogUnits::Y(int units) const {
    return ScaleRounded(units, charHeight_, 8);
}

QRect DialogUnits::ToPixels(const QRect& units) const {
    return QRect(X(units.x()), Y(units.y()), X(units.width()), Y(units.height()));
}

QSize DialogUnits::ToPixels(const QSize& units) const {
    return QSize(X(units.width()), Y(units.height()));
}

QFont DialogFont() {
    static constexpr char kFace[] = "IPAPGothic";
    QFont font = QFontDatabase::families().contains(QLatin1String(kFace))
                     ? QFont(QLatin1String(kFace))
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(9);
    return font;
}

}  // namespace tinta

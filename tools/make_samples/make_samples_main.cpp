// tinta_make_samples: draws the small demo pictures of samples/ (PNG with and
// without partial transparency, BMP, JPEG). Usage: tinta_make_samples FOLDER
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QImage Draw(int width, int height, QColor background, const std::function<void(QPainter&)>& paint) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// An opaque evening sky with a sun sinking behind two hills.
QImage Sunset() {
    return Draw(160, 120, Qt::black, [](QPainter& p) {
        QLinearGradient sky(0, 0, 0, 120);
        sky.setColorAt(0, QColor(40, 30, 110));
        sky.setColorAt(0.6, QColor(240, 120, 80));
        sky.setColorAt(1, QColor(255, 210, 120));
        p.fillRect(0, 0, 160, 120, sky);
        QRadialGradient sun(80, 78, 26);
        sun.setColorAt(0, QColor(255, 250, 210));
        sun.setColorAt(1, QColor(255, 170, 60));
        p.setPen(Qt::NoPen);
        p.setBrush(sun);
        p.drawEllipse(QPointF(80, 78), 24, 24);
        p.setBrush(QColor(50, 70, 60));
        p.drawEllipse(QPointF(30, 130), 80, 40);
        p.setBrush(QColor(30, 50, 45));
        p.drawEllipse(QPointF(140, 135), 90, 45);
    });
}

// Translucent coloured bubbles on a fully transparent background.
QImage Bubbles() {
    return Draw(128, 128, Qt::transparent, [](QPainter& p) {
        p.setPen(Qt::NoPen);
        const QColor colours[] = {QColor(230, 60, 80, 160), QColor(60, 150, 230, 120),
                                  QColor(90, 210, 120, 190), QColor(250, 200, 40, 90)};
        const QPointF centres[] = {{45, 45}, {85, 50}, {60, 85}, {95, 95}};
        for (int i = 0; i < 4; ++i) {
            QRadialGradient bubble(centres[i], 30);
            QColor inner = colours[i];
            inner.setAlpha(colours[i].alpha() / 3);
            bubble.setColorAt(0, inner);
            bubble.setColorAt(1, colours[i]);
            p.setBrush(bubble);
            p.drawEllipse(centres[i], 30, 30);
        }
    });
}

// A leaf with soft edges; the edge pixels are partly transparent.
QImage Leaf() {
    return Draw(96, 96, Qt::transparent, [](QPainter& p) {
        QPainterPath leaf;
        leaf.moveTo(12, 84);
        leaf.cubicTo(10, 30, 50, 8, 86, 10);
        leaf.cubicTo(84, 50, 60, 86, 12, 84);
        QLinearGradient green(12, 84, 86, 10);
        green.setColorAt(0, QColor(40, 120, 40));
        green.setColorAt(1, QColor(170, 220, 80));
        p.setPen(QPen(QColor(20, 80, 30, 200), 2));
        p.setBrush(green);
        p.drawPath(leaf);
        p.setPen(QPen(QColor(230, 250, 200, 140), 1.5));
        p.drawLine(QPointF(14, 82), QPointF(80, 16));
    });
}

// Opaque tiles in warm and cool colours, for the BMP sample.
QImage Tiles() {
    return Draw(128, 96, Qt::white, [](QPainter& p) {
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int hue = (x * 40 + y * 25) % 360;
                p.fillRect(x * 16 + 1, y * 16 + 1, 14, 14, QColor::fromHsv(hue, 140, 230));
            }
        }
    });
}

// Layered sine waves, for the JPEG sample.
QImage Waves() {
    return Draw(200, 150, QColor(10, 40, 80), [](QPainter& p) {
        for (int layer = 0; layer < 5; ++layer) {
            QPainterPath wave;
            const double base = 40 + layer * 22;
            wave.moveTo(0, 150);
            for (int x = 0; x <= 200; x += 4) {
                wave.lineTo(x, base + 10 * std::sin(x / 18.0 + layer));
            }
            wave.lineTo(200, 150);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30 + layer * 30, 90 + layer * 25, 160 + layer * 18));
            p.drawPath(wave);
        }
    });
}

bool Save(const QImage& image, const QString& folder, const char* name, const char* format,
          int quality = -1) {
    const QString path = folder + "/" + name;
    const bool saved = image.save(path, format, quality);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", path.toUtf8().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tinta_make_samples FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromUtf8(argv[1]);
    bool ok = true;
    ok &= Save(Sunset().convertToFormat(QImage::Format_RGB32), folder, "sunset.png", "png");
    ok &= Save(Bubbles(), folder, "bubbles_alpha.png", "png");
    ok &= Save(Leaf(), folder, "leaf_alpha.png", "png");
    ok &= Save(Tiles().convertToFormat(QImage::Format_RGB888), folder, "tiles.bmp", "bmp");
    ok &= Save(Waves().convertToFormat(QImage::Format_RGB32), folder, "waves.jpg", "jpeg", 90);
    return ok ? 0 : 1;
}

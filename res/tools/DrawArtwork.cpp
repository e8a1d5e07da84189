// Draws the program's two pictures into PNG files: icon 128 (32 x 32, sixteen
// colours) and the decorative bitmap 132 (176 x 217). Run once when the artwork
// changes; the PNG files are compiled into the program.
//   draw-artwork OUTPUT_FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// A shield with a quill across it: a save that can be rewritten.
QImage DrawIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shield;
    shield.moveTo(16, 2);
    shield.lineTo(28, 6);
    shield.cubicTo(28, 18, 23, 25, 16, 30);
    shield.cubicTo(9, 25, 4, 18, 4, 6);
    shield.closeSubpath();
    p.fillPath(shield, QColor(0, 0, 128));
    p.setPen(QPen(QColor(192, 192, 192), 1.5));
    p.drawPath(shield);
    p.fillRect(QRectF(15, 6, 2, 20), QColor(0, 128, 128));  // the spring's channel
    QPainterPath quill;
    quill.moveTo(9, 26);
    quill.cubicTo(12, 16, 18, 9, 26, 5);
    quill.cubicTo(22, 12, 17, 19, 9, 26);
    p.fillPath(quill, Qt::white);
    p.setPen(QPen(QColor(255, 255, 0), 1));
    p.drawLine(QPointF(9, 26), QPointF(20, 13));
    p.end();
    // Sixteen colours, as the icon format of old holds them.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_ARGB32);
}

// A spring in the hills below a watchtower at dusk.
QImage DrawBitmap() {
    QImage image(176, 217, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 140);
    sky.setColorAt(0, QColor(28, 36, 84));
    sky.setColorAt(0.6, QColor(196, 104, 92));
    sky.setColorAt(1, QColor(246, 196, 120));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(120, 118, 30);
    sun.setColorAt(0, QColor(255, 240, 190));
    sun.setColorAt(1, QColor(255, 240, 190, 0));
    p.fillRect(image.rect(), sun);
    for (auto [x, y] : {std::pair{20, 20}, {60, 34}, {140, 16}, {100, 48}, {160, 60}, {34, 70}})
        p.fillRect(x, y, 1, 1, QColor(255, 255, 230));

    QPainterPath far;
    far.moveTo(0, 140);
    far.lineTo(30, 100);
    far.lineTo(62, 124);
    far.lineTo(98, 86);
    far.lineTo(140, 120);
    far.lineTo(176, 98);
    far.lineTo(176, 217);
    far.lineTo(0, 217);
    p.fillPath(far, QColor(74, 62, 96));

    // The watchtower on the near ridge.
    p.fillRect(QRectF(112, 92, 18, 50), QColor(52, 44, 58));
    for (int i = 0; i < 4; ++i) p.fillRect(QRectF(110 + i * 6, 86, 4, 7), QColor(52, 44, 58));
    p.fillRect(QRectF(119, 104, 4, 7), QColor(255, 210, 120));

    QPainterPath near;
    near.moveTo(0, 168);
    near.cubicTo(50, 140, 90, 150, 176, 136);
    near.lineTo(176, 217);
    near.lineTo(0, 217);
    QLinearGradient grass(0, 136, 0, 217);
    grass.setColorAt(0, QColor(52, 88, 62));
    grass.setColorAt(1, QColor(20, 44, 34));
    p.fillPath(near, grass);

    // The spring: a pool and the stream that runs out of it.
    QPainterPath stream;
    stream.moveTo(60, 176);
    stream.cubicTo(70, 190, 40, 200, 56, 217);
    stream.lineTo(74, 217);
    stream.cubicTo(60, 200, 88, 190, 76, 176);
    p.fillPath(stream, QColor(110, 170, 200));
    p.setBrush(QColor(140, 200, 226));
    p.setPen(QPen(QColor(200, 235, 245), 1.5));
    p.drawEllipse(QRectF(48, 166, 40, 14));
    p.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? argv[1] : ".";
    const bool saved =
        DrawIcon().save(folder + "/icon128.png") && DrawBitmap().save(folder + "/bitmap132.png");
    return saved ? 0 : 1;
}

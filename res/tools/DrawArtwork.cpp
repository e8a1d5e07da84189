// Draws the program's pictures: icon 128 (32 x 32, sixteen colours) and the
// decorative bitmap 132 (176 x 217), compiled into the program; and the desktop's
// icons, the same shield at 16 to 256 pixels and as SVG, installed with it. Run once
// when the artwork changes (configure with -DQH_BUILD_TOOLS=ON).
//   draw-artwork OUTPUT_FOLDER
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

namespace {

// The icon, a shield with a quill across it (a save that can be rewritten), as data
// on a 32-unit square, so that the same shapes give every PNG size and the SVG.
struct Shape {
    const char* path;  // SVG path data: M, L, C and Z, each word apart
    const char* fill;  // "none" for a line only
    const char* stroke;
    double strokeWidth;
};

constexpr Shape kIconShapes[] = {
    {"M 16 2 L 28 6 C 28 18 23 25 16 30 C 9 25 4 18 4 6 Z", "#000080", "#c0c0c0", 1.5},
    {"M 15 6 L 17 6 L 17 26 L 15 26 Z", "#008080", "none", 0},  // the spring's channel
    {"M 9 26 C 12 16 18 9 26 5 C 22 12 17 19 9 26 Z", "#ffffff", "none", 0},
    {"M 9 26 L 20 13", "none", "#ffff00", 1},
};

QPainterPath PathFrom(const char* data) {
    QPainterPath path;
    const QByteArray text(data);
    QTextStream in(text);
    QString command;
    auto point = [&] {
        double x = 0, y = 0;
        in >> x >> y;
        return QPointF(x, y);
    };
    while (!(in >> command).atEnd() || !command.isEmpty()) {
        if (command == "M")
            path.moveTo(point());
        else if (command == "L")
            path.lineTo(point());
        else if (command == "C") {
            const QPointF c1 = point(), c2 = point(), end = point();
            path.cubicTo(c1, c2, end);
        } else if (command == "Z")
            path.closeSubpath();
        command.clear();
    }
    return path;
}

QImage DrawIconAt(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    for (const Shape& shape : kIconShapes) {
        const QPainterPath path = PathFrom(shape.path);
        if (QString(shape.fill) != "none") p.fillPath(path, QColor(shape.fill));
        if (QString(shape.stroke) != "none")
            p.strokePath(path, QPen(QColor(shape.stroke), shape.strokeWidth));
    }
    return image;
}

// The window's icon: 32 pixels in sixteen colours, as the icon format of old holds them.
QImage DrawIcon() {
    return DrawIconAt(32)
        .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_ARGB32);
}

QByteArray IconSvg() {
    QByteArray svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 "
        "32\">\n";
    for (const Shape& shape : kIconShapes)
        svg += QStringLiteral("  <path d=\"%1\" fill=\"%2\" stroke=\"%3\" stroke-width=\"%4\"/>\n")
                   .arg(shape.path, shape.fill, shape.stroke)
                   .arg(shape.strokeWidth)
                   .toUtf8();
    return svg + "</svg>\n";
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
    bool saved =
        DrawIcon().save(folder + "/icon128.png") && DrawBitmap().save(folder + "/bitmap132.png");
    // The desktop's icons: every size its themes ask for, and one to scale.
    QDir().mkpath(folder + "/icons");
    for (const int size : {16, 24, 32, 48, 64, 128, 256})
        saved &= DrawIconAt(size).save(folder +
                                       QStringLiteral("/icons/quellhart-editor-%1.png").arg(size));
    QFile svg(folder + "/icons/quellhart-editor.svg");
    saved &= svg.open(QIODevice::WriteOnly) && svg.write(IconSvg()) > 0;
    return saved ? 0 : 1;
}

// nemarro-skin: paints every skin image of the program (window background, slider channels, the
// twelve button images and the application icon) from code, so that the artwork can be remade
// and changed reproducibly. Every image is painted twice: at its size, and at twice its size for
// screens with two device pixels to the logical one ("name@2x.png", the same drawing in the same
// logical coordinates). Usage: nemarro-skin <output folder>   (normally resources/skin)
// The images it wrote are committed; the build does not run it.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The transparent colour of the skin.
const QRgb kKey = qRgb(1, 22, 128);
// What anti-aliased outline pixels are blended over before the key colour is cut away: a dark
// edge reads well on light and dark desktops alike.
const QColor kFringe(6, 10, 22);

// Device pixels per logical pixel of the images being painted: 1, or 2 for the "@2x" set.
int g_scale = 1;

QString g_family;     // regular text
QString g_boldFamily; // captions

// ------------------------------------------------------------------ fonts and files

// The generator draws with DejaVu Sans loaded from its files, so that the same fonts give the
// same pixels on any machine that has them.
void loadFonts() {
    const int r = QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    const int b =
        QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    if (r < 0 || b < 0)
        std::fprintf(stderr, "warning: DejaVu Sans not found; the default font is used\n");
    g_family = r >= 0 ? QFontDatabase::applicationFontFamilies(r).value(0) : QString("Sans");
    g_boldFamily = b >= 0 ? QFontDatabase::applicationFontFamilies(b).value(0) : g_family;
}

QFont makeFont(double pixelSize, bool bold, double letterSpacing = 0) {
    QFont f(bold ? g_boldFamily : g_family);
    f.setPixelSize(qRound(pixelSize));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0)
        f.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return f;
}

// The largest pixel size (down from `pixelSize`) at which `text` fits in `width`.
QFont fittingFont(const QString& text, double pixelSize, bool bold, double width,
                  double letterSpacing = 0) {
    for (double size = pixelSize; size > 6; size -= 0.5) {
        QFont f = makeFont(size, bold, letterSpacing);
        if (QFontMetricsF(f).horizontalAdvance(text) <= width)
            return f;
    }
    return makeFont(6, bold, letterSpacing);
}

// Qt writes a resolution chunk (pHYs); the skin images carry none, so they draw at pixel size.
QByteArray stripResolution(const QByteArray& png) {
    QByteArray out = png.left(8);
    qsizetype pos = 8;
    while (pos + 12 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + pos + 0);
        const QByteArray type = png.mid(pos + 4, 4);
        const qsizetype total = qsizetype(length) + 12;
        if (type != "pHYs")
            out.append(png.mid(pos, total));
        pos += total;
    }
    return out;
}

bool save(const QImage& image, const QString& folder, QString name) {
    if (g_scale != 1)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(g_scale));
    QByteArray buffer;
    QBuffer device(&buffer);
    device.open(QIODevice::WriteOnly);
    if (!image.save(&device, "PNG", 9))
        return false;
    const QByteArray png = stripResolution(buffer);
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    std::printf("%-30s %4d x %-4d %s\n", qPrintable(name), image.width(), image.height(),
                image.hasAlphaChannel() ? "RGBA" : "RGB");
    return true;
}

// ------------------------------------------------------------------ pixel helpers

// A transparent image of `w` x `h` logical pixels; a painter on it draws in logical pixels.
QImage transparentImage(int w, int h) {
    QImage image(w * g_scale, h * g_scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(g_scale);
    image.fill(Qt::transparent);
    return image;
}

// Box blur of a premultiplied image, three passes (close to a Gaussian); `radius` is in logical
// pixels.
QImage blurred(const QImage& source, int logicalRadius) {
    const int radius = logicalRadius * g_scale;
    QImage image = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(source.devicePixelRatio());
    const int w = image.width();
    const int h = image.height();
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int len = horizontal ? w : h;
        std::vector<QRgb> line(static_cast<size_t>(len));
        for (int l = 0; l < lines; ++l) {
            auto at = [&](int i) -> QRgb& {
                return horizontal ? reinterpret_cast<QRgb*>(image.scanLine(l))[i]
                                  : reinterpret_cast<QRgb*>(image.scanLine(i))[l];
            };
            for (int i = 0; i < len; ++i)
                line[size_t(i)] = at(i);
            for (int i = 0; i < len; ++i) {
                int sum[4] = {0, 0, 0, 0};
                int n = 0;
                for (int k = i - radius; k <= i + radius; ++k) {
                    const QRgb p = (k < 0 || k >= len) ? 0 : line[size_t(k)];
                    sum[0] += qAlpha(p);
                    sum[1] += qRed(p);
                    sum[2] += qGreen(p);
                    sum[3] += qBlue(p);
                    ++n;
                }
                at(i) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            }
        }
    };
    for (int i = 0; i < 3; ++i) {
        pass(true);
        pass(false);
    }
    return image;
}

// A soft shadow of `shape`, offset downwards, to be drawn under it; `size` is logical.
void drawShadow(QPainter& p, const QSize& size, const QPainterPath& shape, double dy, int radius,
                int alpha) {
    QImage layer = transparentImage(size.width(), size.height());
    {
        QPainter lp(&layer);
        lp.setRenderHint(QPainter::Antialiasing);
        lp.translate(0, dy);
        lp.fillPath(shape, QColor(0, 0, 0, alpha));
    }
    p.drawImage(0, 0, blurred(layer, radius));
}

// Turns an image painted on transparency into a 24-bit skin bitmap: pixels that are (nearly)
// transparent become the key colour, the others are laid over a dark fringe colour so that
// anti-aliased edges stay dark instead of turning the key's blue. No painted pixel may come out
// exactly as the key colour.
QImage keyedBitmap(const QImage& layer) {
    QImage straight = layer.convertToFormat(QImage::Format_ARGB32);
    QImage out(layer.size(), QImage::Format_RGB888);
    for (int y = 0; y < layer.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x) {
            const QRgb p = in[x];
            const int a = qAlpha(p);
            QRgb c;
            if (a < 96) {
                c = kKey;
            } else {
                auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
                c = qRgb(mix(qRed(p), kFringe.red()), mix(qGreen(p), kFringe.green()),
                         mix(qBlue(p), kFringe.blue()));
                if (c == kKey)
                    c = qRgb(1, 22, 129);
            }
            out.setPixel(x, y, c);
        }
    }
    return out;
}

QPainterPath roundedRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// ------------------------------------------------------------------ glyphs (white, on any button)

// Each glyph is drawn into the square `box`.
void glyphDocument(QPainter& p, const QRectF& box, bool plus) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    QPainterPath doc;
    doc.moveTo(o + QPointF(0.18 * s, 0.06 * s));
    doc.lineTo(o + QPointF(0.58 * s, 0.06 * s));
    doc.lineTo(o + QPointF(0.82 * s, 0.30 * s));
    doc.lineTo(o + QPointF(0.82 * s, 0.94 * s));
    doc.lineTo(o + QPointF(0.18 * s, 0.94 * s));
    doc.closeSubpath();
    p.setPen(QPen(Qt::white, s * 0.085, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawPath(doc);
    p.drawPolyline(QPolygonF({o + QPointF(0.58 * s, 0.06 * s), o + QPointF(0.58 * s, 0.30 * s),
                              o + QPointF(0.82 * s, 0.30 * s)}));
    // A round badge with + or -.
    const QPointF c = o + QPointF(0.76 * s, 0.76 * s);
    const double r = 0.26 * s;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.setPen(QPen(Qt::black, s * 0.08, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c - QPointF(r * 0.5, 0), c + QPointF(r * 0.5, 0));
    if (plus)
        p.drawLine(c - QPointF(0, r * 0.5), c + QPointF(0, r * 0.5));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void glyphTrash(QPainter& p, const QRectF& box) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    p.setPen(QPen(Qt::white, s * 0.085, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(255, 255, 255, 40));
    QPainterPath can;
    can.moveTo(o + QPointF(0.22 * s, 0.28 * s));
    can.lineTo(o + QPointF(0.30 * s, 0.94 * s));
    can.lineTo(o + QPointF(0.70 * s, 0.94 * s));
    can.lineTo(o + QPointF(0.78 * s, 0.28 * s));
    p.drawPath(can);
    p.drawLine(o + QPointF(0.12 * s, 0.22 * s), o + QPointF(0.88 * s, 0.22 * s));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({o + QPointF(0.38 * s, 0.20 * s), o + QPointF(0.40 * s, 0.08 * s),
                              o + QPointF(0.60 * s, 0.08 * s), o + QPointF(0.62 * s, 0.20 * s)}));
    p.setPen(QPen(Qt::white, s * 0.065, Qt::SolidLine, Qt::RoundCap));
    for (double x : {0.40, 0.50, 0.60})
        p.drawLine(o + QPointF(x * s, 0.42 * s), o + QPointF(x * s, 0.80 * s));
}

void glyphClear(QPainter& p, const QRectF& box) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    p.setPen(QPen(Qt::white, s * 0.09, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double y = (0.22 + 0.24 * i) * s;
        p.drawLine(o + QPointF(0.06 * s, y), o + QPointF((i == 2 ? 0.42 : 0.62) * s, y));
    }
    const QPointF c = o + QPointF(0.74 * s, 0.72 * s);
    const double r = 0.25 * s;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.setPen(QPen(Qt::black, s * 0.075, Qt::SolidLine, Qt::RoundCap));
    const double d = r * 0.42;
    p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
    p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void glyphGear(QPainter& p, const QRectF& box) {
    const QPointF c = box.center();
    const double s = box.width();
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const double angle = (i / double(teeth * 4)) * 2 * M_PI;
        const bool outer = (i % 4) == 1 || (i % 4) == 2;
        const double r = (outer ? 0.50 : 0.36) * s;
        const QPointF pt = c + QPointF(std::cos(angle) * r, std::sin(angle) * r);
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 0.16 * s, 0.16 * s);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(gear.subtracted(hole));
}

void glyphFolder(QPainter& p, const QRectF& box, bool arrow) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    QPainterPath folder;
    folder.moveTo(o + QPointF(0.04 * s, 0.20 * s));
    folder.lineTo(o + QPointF(0.38 * s, 0.20 * s));
    folder.lineTo(o + QPointF(0.48 * s, 0.32 * s));
    folder.lineTo(o + QPointF(0.96 * s, 0.32 * s));
    folder.lineTo(o + QPointF(0.96 * s, 0.86 * s));
    folder.lineTo(o + QPointF(0.04 * s, 0.86 * s));
    folder.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(folder);
    if (arrow) {
        // An arrow out of the folder: "open".
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.setPen(QPen(Qt::black, s * 0.12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(o + QPointF(0.36 * s, 0.70 * s), o + QPointF(0.66 * s, 0.46 * s));
        p.drawPolyline(QPolygonF({o + QPointF(0.46 * s, 0.44 * s), o + QPointF(0.68 * s, 0.44 * s),
                                  o + QPointF(0.68 * s, 0.64 * s)}));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    } else {
        p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        p.setBrush(Qt::black);
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(o + QPointF((0.32 + 0.18 * i) * s, 0.60 * s), 0.055 * s, 0.055 * s);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

using Glyph = void (*)(QPainter&, const QRectF&);

// ------------------------------------------------------------------ buttons

struct Palette {
    QColor top, bottom, border;
};

// Blue toolbar buttons and slate form buttons.
const Palette kToolbar{QColor(78, 146, 245), QColor(33, 88, 190), QColor(9, 24, 62, 235)};
const Palette kForm{QColor(92, 112, 150), QColor(52, 66, 98), QColor(8, 14, 32, 235)};

// A rounded button with a glossy fill, an optional glyph and its caption. The image keeps one
// free pixel right and below, where the pressed look (drawn one pixel lower right) moves to.
QImage roundedButton(int w, int h, const QString& caption, const Palette& colours, double radius,
                     double textSize, Glyph glyph, double glyphSize) {
    QImage image = transparentImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF body(0.5, 0.5, w - 2.0, h - 2.5);
    const QPainterPath shape = roundedRect(body, radius);
    drawShadow(p, QSize(w, h), shape, 1.2, 1, 110);

    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0, colours.top);
    fill.setColorAt(1, colours.bottom);
    p.fillPath(shape, fill);
    // Gloss over the upper half.
    QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1, QColor(255, 255, 255, 8));
    p.fillPath(shape.intersected(roundedRect(body.adjusted(0, 0, 0, -body.height() / 2), radius)),
               gloss);
    // Inner highlight along the top, dark rim outside.
    QLinearGradient rim(body.topLeft(), body.bottomLeft());
    rim.setColorAt(0, QColor(255, 255, 255, 120));
    rim.setColorAt(0.5, QColor(255, 255, 255, 18));
    rim.setColorAt(1, QColor(255, 255, 255, 30));
    p.setPen(QPen(QBrush(rim), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(body.adjusted(1, 1, -1, -1), radius - 1));
    p.setPen(QPen(colours.border, 1.0));
    p.drawPath(shape);

    // Glyph and caption, centred together.
    const double gap = glyph ? std::max(4.0, glyphSize * 0.3) : 0;
    const double glyphWidth = glyph ? glyphSize : 0;
    const QFont f = fittingFont(caption, textSize, true, body.width() - glyphWidth - gap - 10);
    const QFontMetricsF fm(f);
    const double textWidth = fm.horizontalAdvance(caption);
    const double total = glyphWidth + gap + textWidth;
    double x = body.left() + (body.width() - total) / 2;
    const double cy = body.center().y();
    if (glyph) {
        QImage g = transparentImage(w, h);
        {
            QPainter gp(&g);
            gp.setRenderHint(QPainter::Antialiasing);
            glyph(gp, QRectF(x, cy - glyphSize / 2, glyphSize, glyphSize));
        }
        // Soft dark drop under the glyph so it stays crisp on the bright gradient.
        QImage shadow = g;
        {
            QPainter sp(&shadow);
            sp.setCompositionMode(QPainter::CompositionMode_SourceIn);
            sp.fillRect(shadow.rect(), QColor(0, 20, 60, 110));
        }
        p.drawImage(QPointF(0, 1), shadow);
        p.drawImage(0, 0, g);
        x += glyphWidth + gap;
    }
    p.setFont(f);
    const double baseline = cy + (fm.ascent() - fm.descent()) / 2;
    p.setPen(QColor(0, 20, 60, 120));
    p.drawText(QPointF(x, baseline + 1), caption);
    p.setPen(Qt::white);
    p.drawText(QPointF(x, baseline), caption);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The round Start and Stop buttons, 78 x 78.
QImage roundButton(const QString& caption, const QColor& light, const QColor& dark, bool play) {
    const int size = 78;
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF disc(2, 1.5, size - 5.0, size - 5.0);
    QPainterPath shape;
    shape.addEllipse(disc);
    drawShadow(p, QSize(size, size), shape, 1.5, 2, 140);

    // Outer ring: a thin metallic bezel.
    QLinearGradient bezel(disc.topLeft(), disc.bottomLeft());
    bezel.setColorAt(0, QColor(235, 242, 255));
    bezel.setColorAt(0.5, QColor(120, 135, 165));
    bezel.setColorAt(1, QColor(40, 50, 75));
    p.fillPath(shape, bezel);

    const QRectF face = disc.adjusted(3, 3, -3, -3);
    QRadialGradient fill(face.center() + QPointF(0, -face.height() * 0.25), face.width() * 0.75);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(fill);
    p.drawEllipse(face);
    // Gloss cap.
    QPainterPath cap;
    cap.addEllipse(QRectF(face.left() + face.width() * 0.14, face.top() + 2,
                          face.width() * 0.72, face.height() * 0.46));
    QLinearGradient gloss(cap.boundingRect().topLeft(), cap.boundingRect().bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 130));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(cap, gloss);

    // Glyph above the caption.
    const QPointF c = face.center() + QPointF(0, -6);
    QPainterPath glyph;
    if (play) {
        const double r = 12;
        glyph.moveTo(c + QPointF(-r * 0.55, -r));
        glyph.lineTo(c + QPointF(r * 1.0, 0));
        glyph.lineTo(c + QPointF(-r * 0.55, r));
        glyph.closeSubpath();
    } else {
        glyph.addRoundedRect(QRectF(c.x() - 9, c.y() - 9, 18, 18), 2.5, 2.5);
    }
    p.setPen(Qt::NoPen);
    p.fillPath(glyph.translated(0, 1.2), QColor(0, 0, 0, 70));
    p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(glyph);

    const QFont f = makeFont(12, true, 0.6);
    const QFontMetricsF fm(f);
    p.setFont(f);
    const double tx = face.center().x() - fm.horizontalAdvance(caption) / 2;
    const double ty = face.center().y() + 22;
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(QPointF(tx, ty + 1), caption);
    p.setPen(Qt::white);
    p.drawText(QPointF(tx, ty), caption);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// HOME and HELP: small capitals on transparency, drawn like links of the title bar.
QImage textButton(int w, int h, const QString& caption) {
    QImage image = transparentImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QFont f = fittingFont(caption, 10, true, w - 1.0, 0.3);
    const QFontMetricsF fm(f);
    p.setFont(f);
    const double x = (w - 1 - fm.horizontalAdvance(caption)) / 2;
    const double y = (h - 1 + fm.capHeight()) / 2;
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(QPointF(x, y + 1), caption);
    p.setPen(QColor(156, 198, 255));
    p.drawText(QPointF(x, y), caption);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage minButton() {
    QImage image = transparentImage(13, 6);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(roundedRect(QRectF(1, 3, 11, 2.2), 1.1), QColor(0, 0, 0, 120));
    p.fillPath(roundedRect(QRectF(1, 2, 11, 2.2), 1.1), QColor(226, 234, 248));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage closeButton() {
    QImage image = transparentImage(16, 14);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    auto cross = [&](const QColor& colour, double dy) {
        p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 2.5 + dy), QPointF(11.5, 10.5 + dy));
        p.drawLine(QPointF(3.5, 10.5 + dy), QPointF(11.5, 2.5 + dy));
    };
    cross(QColor(0, 0, 0, 120), 1);
    cross(QColor(255, 128, 120), 0);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ------------------------------------------------------------------ application icon

// A rounded square in deep blue with a white waveform and a turning arrow: sound, converted.
void paintIcon(QPainter& p, const QRectF& box) {
    const double s = box.width();
    const QPointF o = box.topLeft();
    const QRectF body = box.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04);
    const QPainterPath shape = roundedRect(body, s * 0.22);
    QLinearGradient fill(body.topLeft(), body.bottomRight());
    fill.setColorAt(0, QColor(72, 156, 255));
    fill.setColorAt(0.55, QColor(38, 92, 214));
    fill.setColorAt(1, QColor(24, 48, 140));
    p.fillPath(shape, fill);
    QRadialGradient glow(body.topLeft() + QPointF(s * 0.25, s * 0.15), s * 0.7);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(shape, glow);
    if (s >= 24) {
        p.setPen(QPen(QColor(255, 255, 255, 70), std::max(1.0, s / 128)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(roundedRect(body.adjusted(s * 0.01, s * 0.01, -s * 0.01, -s * 0.01), s * 0.21));
    }
    // Waveform bars.
    const double heights[] = {0.22, 0.44, 0.62, 0.36, 0.52, 0.28};
    const int bars = s >= 32 ? 6 : 4;
    const double barWidth = s * (bars == 6 ? 0.075 : 0.11);
    const double step = s * (bars == 6 ? 0.11 : 0.15);
    const double x0 = o.x() + s / 2 - step * (bars - 1) / 2;
    const double cy = o.y() + s * 0.46;
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int i = 0; i < bars; ++i) {
        const double h = heights[bars == 6 ? i : i + 1] * s;
        p.drawRoundedRect(QRectF(x0 + i * step - barWidth / 2, cy - h / 2, barWidth, h),
                          barWidth / 2, barWidth / 2);
    }
    // Arrow underneath: the converted result.
    if (s >= 24) {
        const double y = o.y() + s * 0.80;
        p.setPen(QPen(QColor(255, 255, 255, 230), s * 0.055, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(o.x() + s * 0.30, y), QPointF(o.x() + s * 0.68, y));
        p.drawPolyline(QPolygonF({QPointF(o.x() + s * 0.58, y - s * 0.08),
                                  QPointF(o.x() + s * 0.69, y),
                                  QPointF(o.x() + s * 0.58, y + s * 0.08)}));
    }
}

QImage icon(int size) {
    QImage image = transparentImage(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintIcon(p, QRectF(0, 0, size, size));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// ------------------------------------------------------------------ slider channels

const QRect kSliderRect(41, 398, 458, 15);

QPainterPath sliderTrack() {
    return roundedRect(QRectF(0.5, 0.5, kSliderRect.width() - 1.0, kSliderRect.height() - 1.0), 7);
}

// The empty track: a recessed groove.
QImage sliderNormal() {
    QImage layer = transparentImage(kSliderRect.width(), kSliderRect.height());
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath track = sliderTrack();
    QLinearGradient fill(0, 0, 0, kSliderRect.height());
    fill.setColorAt(0, QColor(6, 10, 22));
    fill.setColorAt(1, QColor(34, 48, 84));
    p.fillPath(track, fill);
    // Inner shadow at the top, light lip at the bottom.
    p.setClipPath(track);
    p.setPen(QPen(QColor(0, 0, 0, 150), 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(track.translated(0, 1));
    p.setClipping(false);
    QLinearGradient lip(0, 0, 0, kSliderRect.height());
    lip.setColorAt(0, QColor(255, 255, 255, 0));
    lip.setColorAt(0.7, QColor(255, 255, 255, 10));
    lip.setColorAt(1, QColor(140, 180, 255, 70));
    p.setPen(QPen(QBrush(lip), 1));
    p.drawPath(track);
    p.end();
    return keyedBitmap(layer);
}

// The done part: a bright blue-to-cyan fill with a gloss line.
QImage sliderActive() {
    QImage layer = transparentImage(kSliderRect.width(), kSliderRect.height());
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath track = sliderTrack();
    QLinearGradient across(0, 0, kSliderRect.width(), 0);
    across.setColorAt(0, QColor(40, 110, 235));
    across.setColorAt(1, QColor(50, 200, 255));
    p.fillPath(track, across);
    QLinearGradient shade(0, 0, 0, kSliderRect.height());
    shade.setColorAt(0, QColor(255, 255, 255, 110));
    shade.setColorAt(0.45, QColor(255, 255, 255, 25));
    shade.setColorAt(0.55, QColor(0, 0, 0, 0));
    shade.setColorAt(1, QColor(0, 20, 60, 90));
    p.fillPath(track, shade);
    p.setPen(QPen(QColor(10, 30, 80, 200), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(track);
    p.end();
    return keyedBitmap(layer);
}

// ------------------------------------------------------------------ background

QImage background() {
    const int w = 600;
    const int h = 500;
    QImage layer = transparentImage(w, h);
    QPainter p(&layer);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF window(3.5, 3.5, w - 7.0, h - 7.0);
    const QPainterPath shape = roundedRect(window, 22);
    QLinearGradient body(0, 0, 0, h);
    body.setColorAt(0, QColor(36, 58, 104));
    body.setColorAt(0.16, QColor(24, 40, 76));
    body.setColorAt(0.6, QColor(16, 27, 54));
    body.setColorAt(1, QColor(10, 17, 36));
    p.fillPath(shape, body);
    p.setClipPath(shape);
    // Soft light from the upper left, a cooler one from the lower right.
    QRadialGradient glow(QPointF(130, 10), 420);
    glow.setColorAt(0, QColor(90, 160, 255, 70));
    glow.setColorAt(1, QColor(90, 160, 255, 0));
    p.fillRect(layer.rect(), glow);
    QRadialGradient glow2(QPointF(560, 520), 300);
    glow2.setColorAt(0, QColor(40, 200, 255, 34));
    glow2.setColorAt(1, QColor(40, 200, 255, 0));
    p.fillRect(layer.rect(), glow2);
    // A faint diagonal sheen across the title area.
    QPainterPath sheen;
    sheen.moveTo(0, 0);
    sheen.lineTo(360, 0);
    sheen.cubicTo(300, 40, 200, 70, 0, 84);
    sheen.closeSubpath();
    QLinearGradient sheenFill(0, 0, 0, 84);
    sheenFill.setColorAt(0, QColor(255, 255, 255, 22));
    sheenFill.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(sheen, sheenFill);
    p.setClipping(false);

    // Rim: dark outside, light inner line fading downwards.
    QLinearGradient rim(0, 0, 0, h);
    rim.setColorAt(0, QColor(170, 205, 255, 150));
    rim.setColorAt(0.3, QColor(170, 205, 255, 40));
    rim.setColorAt(1, QColor(170, 205, 255, 18));
    p.setPen(QPen(QBrush(rim), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roundedRect(window.adjusted(1.5, 1.5, -1.5, -1.5), 20.5));
    p.setPen(QPen(QColor(4, 8, 18), 1.5));
    p.drawPath(shape);

    // Logo and title.
    paintIcon(p, QRectF(24, 18, 64, 64));
    p.setFont(makeFont(20, true, 0.4));
    p.setPen(QColor(0, 0, 0, 110));
    p.drawText(QPointF(103, 30), "Nemarro");
    p.setPen(QColor(240, 246, 255));
    p.drawText(QPointF(102, 29), "Nemarro");
    const double titleWidth = QFontMetricsF(makeFont(20, true, 0.4)).horizontalAdvance("Nemarro");
    p.setFont(makeFont(13, false, 0.3));
    p.setPen(QColor(150, 185, 235));
    p.drawText(QPointF(102 + titleWidth + 9, 29), "Audio Converter");

    // Window buttons sit in a dark pill at the top right.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(534.5, 13.5, 54, 26), 13, 13);
    // Separator between HOME and HELP.
    p.setPen(QPen(QColor(150, 190, 255, 90), 1));
    p.drawLine(QPointF(553, 65), QPointF(553, 75));

    // Toolbar tray behind Open File, Delete File and Clear.
    p.setPen(QPen(QColor(255, 255, 255, 16), 1));
    p.setBrush(QColor(0, 0, 0, 45));
    p.drawRoundedRect(QRectF(97.5, 33.5, 331, 52), 11, 11);

    // The list panel (the list covers it once it has rows) with a hint for the empty state.
    const QRectF panel(23.5, 89.5, 555, 299);
    p.setPen(QPen(QColor(255, 255, 255, 26), 1));
    p.setBrush(QColor(3, 8, 20, 150));
    p.drawRoundedRect(panel, 10, 10);
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(panel.adjusted(1, 1, -1, -1), 9, 9);
    {
        // Empty-state art: a faint tray with an arrow dropping into it.
        const QPointF c(300, 210);
        p.setPen(QPen(QColor(120, 160, 230, 90), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({c + QPointF(-34, 6), c + QPointF(-34, 26), c + QPointF(34, 26),
                                  c + QPointF(34, 6)}));
        p.drawLine(c + QPointF(0, -30), c + QPointF(0, 10));
        p.drawPolyline(QPolygonF({c + QPointF(-13, -3), c + QPointF(0, 10), c + QPointF(13, -3)}));
        p.setFont(makeFont(16, true, 0.2));
        p.setPen(QColor(170, 195, 240, 170));
        p.drawText(QRectF(26, 252, 549, 24), Qt::AlignCenter, "Drop audio files here");
        p.setFont(makeFont(12, false, 0.2));
        p.setPen(QColor(140, 165, 210, 140));
        p.drawText(QRectF(26, 276, 549, 20), Qt::AlignCenter,
                   "or press Open File to add them to the list");
    }

    // Progress groove around the slider (its rounded ends show this).
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.setBrush(QColor(0, 0, 0, 80));
    p.drawRoundedRect(QRectF(kSliderRect).adjusted(-2.5, -2.5, 2.5, 2.5), 9.5, 9.5);

    // Settings panel with the two captions where the hidden labels sit.
    p.setPen(QPen(QColor(255, 255, 255, 20), 1));
    p.setBrush(QColor(255, 255, 255, 10));
    p.drawRoundedRect(QRectF(11.5, 418.5, 480, 69), 11, 11);
    // One font for both captions, the size at which the longer one fits left of the combos.
    const QFont label = fittingFont("Destination:", 12, true, 80, 0.2);
    p.setFont(label);
    for (const auto& [text, rect] : {std::pair{QString("Profile:"), QRectF(14, 424, 82, 21)},
                                     std::pair{QString("Destination:"), QRectF(14, 458, 82, 21)}}) {
        p.setPen(QColor(0, 0, 0, 120));
        p.drawText(rect.translated(0, 1), Qt::AlignRight | Qt::AlignVCenter, text);
        p.setPen(QColor(205, 220, 245));
        p.drawText(rect, Qt::AlignRight | Qt::AlignVCenter, text);
    }

    // A recessed well that seats the round Start / Stop button (78 x 78 at 500, 411).
    const QPointF wellCentre(539, 450);
    QRadialGradient well(wellCentre, 45);
    well.setColorAt(0.80, QColor(0, 0, 0, 120));
    well.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(well);
    p.drawEllipse(wellCentre, 45, 45);
    p.setPen(QPen(QColor(120, 170, 255, 50), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(wellCentre, 42.5, 42.5);
    p.end();
    return keyedBitmap(layer);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: nemarro-skin <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    loadFonts();

    bool ok = true;
    for (int scale : {1, 2}) {
        g_scale = scale;
        ok &= save(background(), out, "10000_background.png");
        ok &= save(minButton(), out, "10001_min.png");
        ok &= save(closeButton(), out, "10002_close.png");
        ok &= save(roundedButton(
                       117, 44, "Open File", kToolbar, 9, 13,
                       [](QPainter& p, const QRectF& b) { glyphDocument(p, b, true); }, 20),
                   out, "10003_open_file.png");
        ok &= save(roundedButton(103, 44, "Delete File", kToolbar, 9, 13, glyphTrash, 19), out,
                   "10004_delete_file.png");
        ok &= save(roundedButton(95, 44, "Clear", kToolbar, 9, 13, glyphClear, 19), out,
                   "10005_clear.png");
        ok &= save(roundedButton(73, 23, "Setting", kForm, 6, 11, glyphGear, 12), out,
                   "10006_setting.png");
        ok &= save(roundButton("Start", QColor(112, 232, 140), QColor(18, 140, 70), true), out,
                   "10007_start.png");
        ok &= save(roundedButton(
                       59, 23, "Open", kForm, 6, 11,
                       [](QPainter& p, const QRectF& b) { glyphFolder(p, b, true); }, 12),
                   out, "10009_open.png");
        ok &= save(roundedButton(
                       73, 23, "Browse", kForm, 6, 11,
                       [](QPainter& p, const QRectF& b) { glyphFolder(p, b, false); }, 12),
                   out, "10010_browse.png");
        ok &= save(roundButton("Stop", QColor(255, 128, 110), QColor(170, 30, 30), false), out,
                   "10011_stop.png");
        ok &= save(textButton(33, 12, "HOME"), out, "10014_home.png");
        ok &= save(textButton(27, 14, "HELP"), out, "10015_help.png");
        ok &= save(sliderNormal(), out, "10100_slider_normal.png");
        ok &= save(sliderActive(), out, "10101_slider_active.png");
        for (int size : {16, 24, 32, 48, 64, 128, 256})
            ok &= save(icon(size), out, QString("9999_icon_%1.png").arg(size));
    }
    return ok ? 0 : 1;
}

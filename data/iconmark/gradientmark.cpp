#include "gradientmark.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QRawFont>

namespace {

// The sidebar draws a 36 unit square with corners of radius 12 and the symbol at 20 units. The icon
// canvas adds 2 units on every side, the margin desktop icon themes leave around a square icon.
constexpr double kCanvas = 40.0;
constexpr double kMargin = 2.0;
constexpr double kSquare = 36.0;
constexpr double kCorner = 12.0;
constexpr double kSymbolPixels = 20.0;
constexpr char16_t kClickGlyph = 0xe762; // the icon font's "ads_click"

const QColor kPurpleNeon = QColor::fromRgbF(0.639f, 0.361f, 0.957f);
const QColor kRedNeon = QColor::fromRgbF(1.0f, 0.231f, 0.353f);

QString number(double value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.contains(QLatin1Char('.')) &&
           (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString svgPathData(const QPainterPath& path)
{
    QStringList commands;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                commands << QStringLiteral("Z");
            commands << QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::LineToElement:
            commands << QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            commands << QStringLiteral("C%1 %2 %3 %4 %5 %6")
                            .arg(number(e.x), number(e.y), number(c2.x), number(c2.y), number(end.x),
                                 number(end.y));
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    if (!commands.isEmpty())
        commands << QStringLiteral("Z");
    return commands.join(QLatin1Char(' '));
}

} // namespace

std::optional<GradientMark> GradientMark::fromIconFont(const QString& fontPath)
{
    QFile file(fontPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QRawFont font(file.readAll(), kSymbolPixels);
    if (!font.isValid())
        return std::nullopt;
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(QChar(kClickGlyph)));
    if (glyphs.size() != 1 || glyphs.first() == 0)
        return std::nullopt;
    QPainterPath symbol = font.pathForGlyph(glyphs.first());
    // Centred as a text item centres it: its advance across, its ascent and descent down.
    const double advance = font.advancesForGlyphIndexes(glyphs).first().x();
    const double lineHeight = font.ascent() + font.descent();
    symbol.translate(kMargin + (kSquare - advance) / 2, kMargin + (kSquare - lineHeight) / 2 + font.ascent());
    symbol.setFillRule(Qt::WindingFill);
    return GradientMark(symbol);
}

QImage GradientMark::render(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / kCanvas, size / kCanvas);
    QLinearGradient gradient(kMargin, 0, kMargin + kSquare, 0);
    gradient.setColorAt(0, kPurpleNeon);
    gradient.setColorAt(1, kRedNeon);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(kMargin, kMargin, kSquare, kSquare), kCorner, kCorner);
    painter.setBrush(Qt::white);
    painter.drawPath(m_symbol);
    painter.end();
    return image;
}

QString GradientMark::svg() const
{
    return QStringLiteral(
               "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 %1 "
               "%1\">\n"
               "  <defs>\n"
               "    <linearGradient id=\"brand\" x1=\"%2\" y1=\"0\" x2=\"%3\" y2=\"0\" "
               "gradientUnits=\"userSpaceOnUse\">\n"
               "      <stop offset=\"0\" stop-color=\"%4\"/>\n"
               "      <stop offset=\"1\" stop-color=\"%5\"/>\n"
               "    </linearGradient>\n"
               "  </defs>\n"
               "  <rect x=\"%2\" y=\"%2\" width=\"%6\" height=\"%6\" rx=\"%7\" fill=\"url(#brand)\"/>\n"
               "  <path fill=\"#ffffff\" d=\"%8\"/>\n"
               "</svg>\n")
        .arg(number(kCanvas), number(kMargin), number(kMargin + kSquare), kPurpleNeon.name(), kRedNeon.name(),
             number(kSquare), number(kCorner), svgPathData(m_symbol));
}

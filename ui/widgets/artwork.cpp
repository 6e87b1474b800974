#include "ui/widgets/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace pelmar::artwork {

namespace {

// Point at a clock angle: 0 degrees is twelve o'clock, clockwise.
QPointF onDial(const QPointF& centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return {centre.x() + radius * qSin(a), centre.y() - radius * qCos(a)};
}

void drawHand(QPainter& p, const QPointF& centre, qreal length, qreal degrees, const QPen& pen)
{
    p.setPen(pen);
    p.drawLine(centre, onDial(centre, length, degrees));
}

// The picture behind the controls: a blue slope, lighter behind the name
// and password row, darker bottom left.
void drawBackdrop(QPainter& p, const QRectF& r)
{
    const qreal w = r.width();
    const qreal h = r.height();
    QLinearGradient base(r.topLeft(), r.bottomRight());
    base.setColorAt(0.0, QColor(0x86, 0x9b, 0xb3));
    base.setColorAt(0.5, QColor(0x4d, 0x63, 0x80));
    base.setColorAt(1.0, QColor(0x24, 0x33, 0x4a));
    p.fillRect(r, base);

    // Light band behind the name and password controls.
    const QRectF band(0, 0, w, h * 0.3);
    QLinearGradient bandShade(band.topLeft(), band.bottomLeft());
    bandShade.setColorAt(0.0, QColor(255, 255, 255, 120));
    bandShade.setColorAt(0.6, QColor(255, 255, 255, 55));
    bandShade.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(band, bandShade);

    // The grid and the white "Total Hours" caption sit bottom left: keep it dark enough for them.
    QRadialGradient shade(QPointF(0, h), qMax(w, h) * 0.85);
    shade.setColorAt(0.0, QColor(8, 16, 30, 170));
    shade.setColorAt(1.0, QColor(8, 16, 30, 0));
    p.fillRect(r, shade);
}

// The faint clock face: its dial, minute marks, and the hands at the minute
// of the day.
void drawFace(QPainter& p, const QPointF& centre, qreal radius, int minuteOfDay)
{
    QRadialGradient face(centre, radius);
    face.setColorAt(0.0, QColor(255, 255, 255, 28));
    face.setColorAt(1.0, QColor(255, 255, 255, 10));
    p.setBrush(face);
    p.setPen(QPen(QColor(255, 255, 255, 50), qMax(1.5, radius * 0.025)));
    p.drawEllipse(centre, radius, radius);
    p.setBrush(Qt::NoBrush);

    for (int i = 0; i < 60; ++i) {
        const bool hour = i % 5 == 0;
        const qreal inner = radius * (hour ? 0.82 : 0.9);
        p.setPen(QPen(QColor(255, 255, 255, hour ? 55 : 25), radius * (hour ? 0.02 : 0.008), Qt::SolidLine,
                      Qt::RoundCap));
        p.drawLine(onDial(centre, inner, i * 6.0), onDial(centre, radius * 0.95, i * 6.0));
    }
    const QColor handColour(255, 255, 255, 45);
    // The hands at the time the labels show: a glance at the face never
    // tells another time than the clock does.
    const int minute = ((minuteOfDay % 1440) + 1440) % 1440;
    drawHand(p, centre, radius * 0.5, (minute % 720) * 0.5,
             QPen(handColour, radius * 0.04, Qt::SolidLine, Qt::RoundCap));
    drawHand(p, centre, radius * 0.75, (minute % 60) * 6.0,
             QPen(handColour, radius * 0.025, Qt::SolidLine, Qt::RoundCap));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(centre, radius * 0.04, radius * 0.04);
}

// The icon's hands at ten past ten: they frame the centre and read as
// "clock" at any size.
constexpr qreal HourAngle = 305.0;
constexpr qreal MinuteAngle = 60.0;

} // namespace

QPixmap background(const QSize& size, int minuteOfDay)
{
    if (size.isEmpty())
        return {};
    QPixmap pm(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(size));
    drawBackdrop(p, r);
    drawFace(p, QPointF(r.width() * 0.8, r.height() * 0.5), qMin(r.width(), r.height()) * 0.36, minuteOfDay);
    return pm;
}

QIcon windowIcon()
{
    QIcon icon;
    for (const int s : {16, 32, 48, 64}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);

        const qreal rim = qMax(1.0, s / 14.0);
        const QPointF centre(s / 2.0, s / 2.0);
        const qreal radius = s / 2.0 - rim / 2.0 - 0.5;
        QRadialGradient fill(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.4);
        fill.setColorAt(0.0, Qt::white);
        fill.setColorAt(1.0, QColor(0xc8, 0xd8, 0xec));
        p.setBrush(fill);
        p.setPen(QPen(QColor(0x1c, 0x3a, 0x6e), rim));
        p.drawEllipse(centre, radius, radius);

        // A 16 px icon has room only for the quarter marks.
        const int step = s < 32 ? 90 : 30;
        const QPen tick(QColor(0x1c, 0x3a, 0x6e), qMax(1.0, s / 32.0));
        p.setPen(tick);
        for (int a = 0; a < 360; a += step)
            p.drawLine(onDial(centre, radius * 0.72, a), onDial(centre, radius * 0.9, a));

        const QColor hands(0x10, 0x20, 0x40);
        drawHand(p, centre, radius * 0.5, HourAngle,
                 QPen(hands, qMax(1.2, s / 16.0), Qt::SolidLine, Qt::RoundCap));
        drawHand(p, centre, radius * 0.75, MinuteAngle,
                 QPen(hands, qMax(1.0, s / 24.0), Qt::SolidLine, Qt::RoundCap));
        if (s >= 32)
            drawHand(p, centre, radius * 0.8, 200.0, QPen(QColor(0xc0, 0x20, 0x20), qMax(1.0, s / 48.0)));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace pelmar::artwork

#include "ui/widgets/glassbutton.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace pelmar {

namespace {

constexpr qreal Radius = 6.0;

QPainterPath roundedPath(const QRectF& r)
{
    QPainterPath path;
    path.addRoundedRect(r, Radius, Radius);
    return path;
}

} // namespace

GlassButton::GlassButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    QFont f(QStringLiteral("Arial"), 9);
    f.setBold(true);
    setFont(f);
}

void GlassButton::setColors(const GlassColors& colors)
{
    m_colors = colors;
    update();
}

void GlassButton::setFaceColor(const QColor& color)
{
    m_colors.face = color;
    update();
}

void GlassButton::setGlareColor(const QColor& color)
{
    m_colors.glare = color;
    update();
}

void GlassButton::setPressedColor(const QColor& color)
{
    m_colors.pressed = color;
    update();
}

void GlassButton::setHoverColor(const QColor& color)
{
    m_colors.hover = color;
    update();
}

QSize GlassButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 28, qMax(fm.height() + 14, 30)};
}

void GlassButton::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void GlassButton::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void GlassButton::keyPressEvent(QKeyEvent* event)
{
    // Enter presses a focused button as Space does, as the time clock's users expect.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        animateClick();
        event->accept();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void GlassButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPainterPath body = roundedPath(outer);

    QColor face = isDown() ? m_colors.pressed : (m_hover ? m_colors.hover : m_colors.face);
    if (!isEnabled())
        face = QColor::fromHsv(face.hsvHue(), face.hsvSaturation() / 3, face.value());

    p.fillPath(body, face);

    // The glare covers the top half only, fading downwards, which gives the glass look;
    // the lower half keeps the plain face colour.
    const QRectF top(outer.left() + 1, outer.top() + 1, outer.width() - 2, outer.height() / 2 - 1);
    QColor glareTop = m_colors.glare;
    QColor glareBottom = glareTop;
    glareTop.setAlpha(isDown() ? 120 : 190);
    glareBottom.setAlpha(40);
    QLinearGradient glare(top.topLeft(), top.bottomLeft());
    glare.setColorAt(0, glareTop);
    glare.setColorAt(1, glareBottom);
    p.fillPath(roundedPath(top), glare);

    p.setPen(QPen(face.darker(160), 1));
    p.drawPath(body);

    if (hasFocus()) {
        QPen focusPen(Qt::white, 1, Qt::DotLine);
        p.setPen(focusPen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(outer.adjusted(3, 3, -3, -3), Radius - 2, Radius - 2);
    }

    // A one-pixel shift while pressed makes the press visible on the caption as well.
    QRect textRect = rect();
    if (isDown())
        textRect.translate(1, 1);
    p.setFont(font());
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(textRect.translated(1, 1), Qt::AlignCenter | Qt::TextShowMnemonic, text());
    p.setPen(isEnabled() ? QColor(Qt::white) : QColor(230, 230, 230));
    p.drawText(textRect, Qt::AlignCenter | Qt::TextShowMnemonic, text());
}

} // namespace pelmar

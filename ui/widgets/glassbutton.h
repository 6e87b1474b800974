#pragma once

#include <QAbstractButton>
#include <QColor>

namespace pelmar {

// The four colours of a glass button, named for what each colours.
struct GlassColors
{
    QColor face;    // the face at rest
    QColor glare;   // the shine over the top half, at rest
    QColor pressed; // the face while pressed
    QColor hover;   // the face under the mouse
};

// A glossy push button: its face in one of its four colours, by state, and
// its caption drawn white.
class GlassButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QColor faceColor READ faceColor WRITE setFaceColor)
    Q_PROPERTY(QColor glareColor READ glareColor WRITE setGlareColor)
    Q_PROPERTY(QColor pressedColor READ pressedColor WRITE setPressedColor)
    Q_PROPERTY(QColor hoverColor READ hoverColor WRITE setHoverColor)
public:
    explicit GlassButton(QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    const GlassColors& colors() const { return m_colors; }
    void setColors(const GlassColors& colors);
    QColor faceColor() const { return m_colors.face; }
    void setFaceColor(const QColor& color);
    QColor glareColor() const { return m_colors.glare; }
    void setGlareColor(const QColor& color);
    QColor pressedColor() const { return m_colors.pressed; }
    void setPressedColor(const QColor& color);
    QColor hoverColor() const { return m_colors.hover; }
    void setHoverColor(const QColor& color);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    GlassColors m_colors{QColor(0x00, 0x00, 0xC0), QColor(0x80, 0x80, 0xFF), QColor(0xFF, 0x00, 0x00),
                         QColor(0x80, 0x80, 0xFF)};
    bool m_hover = false;
};

} // namespace pelmar

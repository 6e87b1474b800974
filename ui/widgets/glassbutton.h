#pragma once

#include <QAbstractButton>

namespace pelmar {

// A glossy push button. Its four colours are held as the blue-green-red
// values the window's code writes (0xC00000 is dark blue) and converted only
// for painting: face at rest, glare at rest, face while pressed, face under
// the mouse. The caption is drawn white.
class GlassButton : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(quint32 faceColor READ faceColor WRITE setFaceColor)
    Q_PROPERTY(quint32 glareColor READ glareColor WRITE setGlareColor)
    Q_PROPERTY(quint32 pressedColor READ pressedColor WRITE setPressedColor)
    Q_PROPERTY(quint32 hoverColor READ hoverColor WRITE setHoverColor)
public:
    explicit GlassButton(QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    quint32 faceColor() const { return m_face; }
    void setFaceColor(quint32 bgr);
    quint32 glareColor() const { return m_glare; }
    void setGlareColor(quint32 bgr);
    quint32 pressedColor() const { return m_pressed; }
    void setPressedColor(quint32 bgr);
    quint32 hoverColor() const { return m_hoverColor; }
    void setHoverColor(quint32 bgr);

    static QColor fromBgr(quint32 bgr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    quint32 m_face = 0xC00000;
    quint32 m_glare = 0xFF8080;
    quint32 m_pressed = 0x0000FF;
    quint32 m_hoverColor = 0xFF8080;
    bool m_hover = false;
};

} // namespace pelmar

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
    Q_PROPERTY(quint32 buttonactualcolor READ buttonactualcolor WRITE setButtonactualcolor)
    Q_PROPERTY(quint32 buttonactualglarecolor READ buttonactualglarecolor WRITE setButtonactualglarecolor)
    Q_PROPERTY(quint32 buttonclickcolor READ buttonclickcolor WRITE setButtonclickcolor)
    Q_PROPERTY(quint32 buttonmousemovecolor READ buttonmousemovecolor WRITE setButtonmousemovecolor)
public:
    explicit GlassButton(QWidget* parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString& caption) { setText(caption); }

    quint32 buttonactualcolor() const { return m_actual; }
    void setButtonactualcolor(quint32 bgr);
    quint32 buttonactualglarecolor() const { return m_glare; }
    void setButtonactualglarecolor(quint32 bgr);
    quint32 buttonclickcolor() const { return m_click; }
    void setButtonclickcolor(quint32 bgr);
    quint32 buttonmousemovecolor() const { return m_mouseMove; }
    void setButtonmousemovecolor(quint32 bgr);

    static QColor fromBgr(quint32 bgr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    quint32 m_actual = 0xC00000;
    quint32 m_glare = 0xFF8080;
    quint32 m_click = 0x0000FF;
    quint32 m_mouseMove = 0xFF8080;
    bool m_hover = false;
};

} // namespace pelmar

#pragma once

#include <QColor>
#include <QWidget>

namespace orvelan {

// A label drawn as sunken three-dimensional text: a light copy offset down and right, a
// shadow copy offset up and left, and the face between them.
class SunkenLabel : public QWidget {
    Q_OBJECT
public:
    SunkenLabel(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setDepth(int depth) { m_depth = depth; update(); }
    void setLightColor(const QColor &c) { m_light = c; update(); }
    void setShadowColor(const QColor &c) { m_shadow = c; update(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    int m_depth = 3;
    QColor m_light{0xff, 0xfb, 0xf0};
    QColor m_shadow{Qt::darkBlue};
};

}  // namespace orvelan

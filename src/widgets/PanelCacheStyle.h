#pragma once

#include <QProxyStyle>

// The desktop's style, with line edit panels and group box frames drawn from pictures kept
// per size and look. Some styles draw them with smoothed curves or an image stretched over
// the whole area, which cost more than everything else in a repaint of the form: every
// changed value paid for its edit's panel and for the box under it again.
class PanelCacheStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};

#include "widgets/PanelCacheStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>

namespace {

// Pictures are copied in pieces of at most this many pixels.
constexpr int kBandPixels = 16 * 1024;

// A picture drawn once and copied whole is the same picture only where it is copied at a
// whole-pixel offset and blended as it was drawn.
bool copiesExactly(const QPainter* painter)
{
    const QTransform transform = painter->deviceTransform();
    return transform.type() <= QTransform::TxTranslate &&
           transform.dx() == qRound(transform.dx()) && transform.dy() == qRound(transform.dy()) &&
           painter->compositionMode() == QPainter::CompositionMode_SourceOver;
}

// Everything the style's drawing may depend on, besides the style itself.
QString pictureKey(QStyle::PrimitiveElement element, const QStyleOptionFrame& frame,
                   const QWidget* widget, qreal pixelRatio)
{
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    return QStringLiteral("tarvo-panel-%1-%2x%3@%4-%5-%6-%7-%8-%9")
        .arg(int(element))
        .arg(frame.rect.width())
        .arg(frame.rect.height())
        .arg(pixelRatio)
        .arg(QStringLiteral("%1-%2").arg(int(frame.state)).arg(int(frame.direction)))
        .arg(frame.palette.cacheKey())
        .arg(frame.fontMetrics.height())
        .arg(QStringLiteral("%1-%2-%3")
                 .arg(frame.lineWidth)
                 .arg(frame.midLineWidth)
                 .arg(int(frame.features)))
        .arg(box ? QStringLiteral("%1%2").arg(box->isCheckable()).arg(box->title().isEmpty())
                 : QString());
}

} // namespace

void PanelCacheStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const
{
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    const bool kept = element == PE_PanelLineEdit || element == PE_FrameGroupBox;
    if (!kept || !frame || frame->rect.isEmpty() || !copiesExactly(painter))
        return QProxyStyle::drawPrimitive(element, option, painter, widget);

    const qreal pixelRatio = painter->device()->devicePixelRatio();
    const QString key = pictureKey(element, *frame, widget, pixelRatio);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(frame->rect.size() * pixelRatio);
        picture.setDevicePixelRatio(pixelRatio);
        picture.fill(Qt::transparent);
        QStyleOptionFrame atOrigin = *frame;
        atOrigin.rect.moveTopLeft(QPoint(0, 0));
        QPainter onPicture(&picture);
        QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
        onPicture.end();
        QPixmapCache::insert(key, picture);
    }
    // In bands small enough that the engine blends them on this thread: a large picture is
    // handed to worker threads whatever little of it the repaint needs, and waking them cost
    // more than the blend.
    const int width = frame->rect.width();
    const int bandHeight = std::max(1, kBandPixels / width);
    for (int top = 0; top < frame->rect.height(); top += bandHeight) {
        const QRect band(0, top, width, std::min(bandHeight, frame->rect.height() - top));
        const QRectF source(band.topLeft() * pixelRatio, band.size() * pixelRatio);
        painter->drawPixmap(band.translated(frame->rect.topLeft()), picture, source);
    }
}

#include "widgets/PanelCacheStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOption>

#include <array>

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

// Everything the style's drawing may depend on, besides the style itself, as a key of raw
// numbers: it is made at every paint, and formatting it as text cost more than the copy.
QString pictureKey(QStyle::PrimitiveElement element, const QStyleOptionFrame& frame,
                   const QWidget* widget, qreal pixelRatio)
{
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    const quint32 boxFlags =
        box ? 1u | quint32(box->isCheckable()) << 1 | quint32(box->title().isEmpty()) << 2 : 0u;
    const auto palette = quint64(frame.palette.cacheKey());
    const std::array<quint32, 13> parts{
        0x7461'7276u, // marks the program's own pictures among the style's
        quint32(element),
        quint32(frame.rect.width()),
        quint32(frame.rect.height()),
        quint32(qRound(pixelRatio * 100)),
        quint32(frame.state),
        quint32(frame.direction),
        quint32(palette),
        quint32(palette >> 32),
        quint32(frame.fontMetrics.height()),
        quint32(frame.lineWidth) | quint32(frame.midLineWidth) << 16,
        quint32(frame.features),
        boxFlags,
    };
    return QString(reinterpret_cast<const QChar*>(parts.data()),
                   qsizetype(sizeof parts / sizeof(QChar)));
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

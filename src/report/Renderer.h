#pragma once

#include "report/Pipeline.h"
#include "report/ReportDefinition.h"

#include <QDateTime>
#include <QFont>
#include <QHash>

#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace report {

// Lays a report's rows out on pages and paints them, one page at a time, so that no more than
// the page being painted is held.
class Renderer
{
public:
    // Called after each page with its number and the number of pages; false stops there.
    using Progress = std::function<bool(int page, int pages)>;

    Renderer(const Definition& definition, Pipeline& pipeline, const QDateTime& printedAt);

    int pageCount() const { return pageCount_; }
    // Paints every page on the device, whose page layout is already the report's; target
    // names the device in the error when it cannot be painted on. Returns false when the
    // progress stopped it.
    bool paint(QPagedPaintDevice& device, const QString& target, const Progress& progress = {});

private:
    struct Slot
    {
        int row;
        QPointF topLeft; // the detail band's, in millimetres from the printable area's corner
    };

    void layOut();
    QList<Slot> slotsOf(int page) const;
    double bodyTop(int page) const;
    void paintBand(QPainter& painter, const Band& band, QPointF origin, int row, int page) const;
    void paintText(QPainter& painter, const Element& element, const QRectF& box,
                   const QString& text) const;
    QString textOf(const Element& element, int row, int page) const;
    QRectF toDevice(const QRectF& millimetres) const;

    const Definition& definition_;
    Pipeline& pipeline_;
    QDateTime printedAt_;
    const Band* title_;
    const Band* header_;
    const Band* detail_;
    const Band* footer_;
    int rows_ = 0;
    double printableHeight_ = 0; // millimetres
    int perFirstPage_ = 0;
    int perPage_ = 0;
    int pageCount_ = 1;
    double dotsPerMillimetre_ = 1;
    // Each text element's font at the device's resolution, made once per painting.
    mutable QHash<const Element*, QFont> fonts_;
};

} // namespace report

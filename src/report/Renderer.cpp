#include "report/Renderer.h"

#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

namespace report {
namespace {

constexpr double kMillimetresPerPoint = 25.4 / 72.0;
constexpr double kSmallestShrunkSize = 5.0; // points
constexpr double kTolerance = 0.01;         // millimetres lost to rounding in templates

QFont fontOf(const Font& font, double size, QPaintDevice* device)
{
    QFont result(font.family);
    result.setPointSizeF(size);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    // Measured and drawn at the device's resolution, never hinted to the screen's.
    result.setHintingPreference(QFont::PreferNoHinting);
    return QFont(result, device);
}

} // namespace

Renderer::Renderer(const Definition& definition, Pipeline& pipeline, const QDateTime& printedAt)
    : definition_(definition), pipeline_(pipeline), printedAt_(printedAt),
      title_(definition.band(Band::Kind::Title)), header_(definition.band(Band::Kind::PageHeader)),
      detail_(definition.band(Band::Kind::Detail)), footer_(definition.band(Band::Kind::PageFooter))
{
    layOut();
}

void Renderer::layOut()
{
    const QPageLayout layout(definition_.pageSize, definition_.orientation, definition_.margins,
                             QPageLayout::Millimeter);
    printableHeight_ = layout.paintRect(QPageLayout::Millimeter).height();
    rows_ = pipeline_.rowCount();
    const double footer = footer_ ? footer_->height : 0;
    const auto fitting = [&](int page) {
        const double room = printableHeight_ - bodyTop(page) - footer + kTolerance;
        if (definition_.labels) {
            const LabelSheet& sheet = *definition_.labels;
            const int rows =
                std::min(sheet.rows,
                         static_cast<int>(std::floor((room - detail_->height) / sheet.down)) + 1);
            return std::max(0, rows) * sheet.columns;
        }
        return std::max(0, static_cast<int>(std::floor(room / detail_->height)));
    };
    perFirstPage_ = fitting(1);
    perPage_ = fitting(2);
    if (perPage_ <= 0 || perFirstPage_ <= 0)
        throw Error(
            ResourceStrings::format(ResourceStrings::ReportDetailDoesNotFit, definition_.name));
    pageCount_ = rows_ <= perFirstPage_ ? 1 : 1 + (rows_ - perFirstPage_ + perPage_ - 1) / perPage_;
}

double Renderer::bodyTop(int page) const
{
    return (page == 1 && title_ ? title_->height : 0) + (header_ ? header_->height : 0);
}

QList<Renderer::Slot> Renderer::slotsOf(int page) const
{
    const int first = page == 1 ? 0 : perFirstPage_ + (page - 2) * perPage_;
    const int count = std::min(page == 1 ? perFirstPage_ : perPage_, rows_ - first);
    const double top = bodyTop(page);
    QList<Slot> placed;
    placed.reserve(std::max(0, count));
    for (int i = 0; i < count; ++i) {
        QPointF at(0, top + i * detail_->height);
        if (definition_.labels) {
            const LabelSheet& sheet = *definition_.labels;
            const int rowsHere = (page == 1 ? perFirstPage_ : perPage_) / sheet.columns;
            const int column = sheet.downFirst ? i / rowsHere : i % sheet.columns;
            const int line = sheet.downFirst ? i % rowsHere : i / sheet.columns;
            at = QPointF(column * sheet.across, top + line * sheet.down);
        }
        placed.append({first + i, at});
    }
    return placed;
}

bool Renderer::paint(QPagedPaintDevice& device, const QString& target, const Progress& progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(ResourceStrings::format(ResourceStrings::ReportCannotPrint, target));
    dotsPerMillimetre_ = device.logicalDpiX() / 25.4;
    fonts_.clear();
    for (int page = 1; page <= pageCount_; ++page) {
        if (page > 1)
            device.newPage();
        if (page == 1 && title_)
            paintBand(painter, *title_, QPointF(0, 0), -1, page);
        if (header_)
            paintBand(painter, *header_, QPointF(0, page == 1 && title_ ? title_->height : 0), -1,
                      page);
        for (const Slot& slot : slotsOf(page))
            paintBand(painter, *detail_, slot.topLeft, slot.row, page);
        if (footer_)
            paintBand(painter, *footer_, QPointF(0, printableHeight_ - footer_->height), -1, page);
        if (progress && !progress(page, pageCount_)) {
            painter.end();
            return false;
        }
    }
    painter.end();
    return true;
}

QRectF Renderer::toDevice(const QRectF& millimetres) const
{
    return QRectF(millimetres.topLeft() * dotsPerMillimetre_,
                  millimetres.size() * dotsPerMillimetre_);
}

void Renderer::paintBand(QPainter& painter, const Band& band, QPointF origin, int row,
                         int page) const
{
    for (const Element& element : band.elements) {
        const QRectF box = toDevice(element.box.translated(origin));
        if (element.kind != Element::Kind::Line) {
            paintText(painter, element, box, textOf(element, row, page));
            continue;
        }
        QPen pen(element.lineColor);
        pen.setWidthF(element.weight * kMillimetresPerPoint * dotsPerMillimetre_);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        switch (element.edge) {
        case Edge::Top:
            painter.drawLine(box.topLeft(), box.topRight());
            break;
        case Edge::Bottom:
            painter.drawLine(box.bottomLeft(), box.bottomRight());
            break;
        case Edge::Left:
            painter.drawLine(box.topLeft(), box.bottomLeft());
            break;
        case Edge::Right:
            painter.drawLine(box.topRight(), box.bottomRight());
            break;
        }
    }
}

QString Renderer::textOf(const Element& element, int row, int page) const
{
    switch (element.kind) {
    case Element::Kind::Label:
        return element.text;
    case Element::Kind::Field:
        return row >= 0 ? pipeline_.text(row, element.field) : QString();
    case Element::Kind::Variable:
        switch (element.variable) {
        case Variable::DateTime:
            return printedAt_.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
        case Variable::Date:
            return printedAt_.toString(QStringLiteral("dd/MM/yyyy"));
        case Variable::PageNumber:
            return QString::number(page);
        case Variable::PageCount:
            return QString::number(pageCount_);
        }
        break;
    case Element::Kind::Line:
        break;
    }
    return {};
}

void Renderer::paintText(QPainter& painter, const Element& element, const QRectF& box,
                         const QString& text) const
{
    if (text.isEmpty())
        return;
    QPaintDevice* device = painter.device();
    double size = element.font.size;
    auto cached = fonts_.constFind(&element);
    if (cached == fonts_.cend())
        cached = fonts_.insert(&element, fontOf(element.font, size, device));
    QFont font = *cached;
    // Labels are the template's own words and drawn whole; data is kept inside its box.
    const bool keepInside = element.kind != Element::Kind::Label;
    if (keepInside && element.shrinkToFit) {
        while (size > kSmallestShrunkSize &&
               QFontMetricsF(font, device).horizontalAdvance(text) > box.width()) {
            size = std::max(kSmallestShrunkSize, size - 0.5);
            font = fontOf(element.font, size, device);
        }
    }
    // A state change is recorded on every page of a preview, so only real ones are made.
    if (painter.font() != font)
        painter.setFont(font);
    if (painter.pen() != QPen(element.font.color))
        painter.setPen(element.font.color);
    const QString shown =
        keepInside ? QFontMetricsF(font, device).elidedText(text, Qt::ElideRight, box.width())
                   : text;
    // A line a little taller than its box keeps its descenders.
    painter.drawText(box, element.alignment | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip,
                     shown);
}

} // namespace report

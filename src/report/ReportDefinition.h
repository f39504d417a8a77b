#pragma once

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <optional>

// What a report template describes, in millimetres: the page, the bands and their elements.
namespace report {

struct Font
{
    QString family = QStringLiteral("Liberation Sans");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor color = Qt::black;
};

enum class Variable
{
    DateTime,   // the moment printing began
    Date,       // its date
    PageNumber, // the page being printed
    PageCount,  // the pages of the whole report
};

enum class Edge
{
    Top,
    Bottom,
    Left,
    Right,
};

struct Element
{
    enum class Kind
    {
        Label,
        Field,
        Variable,
        Line,
    };
    Kind kind = Kind::Label;
    QRectF box; // relative to the band
    Font font;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool shrinkToFit = false; // a smaller font, down to a floor, before the text is cut
    QString text;             // a label's
    QString field;            // a field's, bound by name
    QString pipeline;         // the pipeline the field belongs to
    Variable variable = Variable::DateTime;
    // A line is drawn along one edge of its box.
    Edge edge = Edge::Top;
    QColor lineColor = Qt::black;
    double weight = 0.75; // points
};

struct Band
{
    enum class Kind
    {
        Title,      // the first page's top
        PageHeader, // every page's top, below the title on the first
        Detail,     // once per row
        PageFooter, // every page's bottom
    };
    Kind kind = Kind::Detail;
    double height = 0;
    QList<Element> elements;
};

// A sheet of labels: the detail band is one label, repeated across and down the page.
struct LabelSheet
{
    int columns = 1;
    int rows = 1;
    double across = 0;      // from one label's left edge to the next one's
    double down = 0;        // from one label's top edge to the next one's
    bool downFirst = false; // fill each column before the next
};

struct Definition
{
    QString name;
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins; // left, top, right, bottom
    std::optional<LabelSheet> labels;
    QList<Band> bands;

    const Band* band(Band::Kind kind) const
    {
        for (const Band& band : bands) {
            if (band.kind == kind)
                return &band;
        }
        return nullptr;
    }
};

} // namespace report

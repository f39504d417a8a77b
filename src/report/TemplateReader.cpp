#include "report/TemplateReader.h"

#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

namespace report {
namespace {

// One line of a template: a keyword and its name=value attributes.
struct Statement
{
    QString keyword;
    QHash<QString, QString> attributes;
};

class Reader
{
public:
    Reader(const QByteArray& text, const QString& fileName) : text_(text), fileName_(fileName) {}

    Definition read()
    {
        const QList<QByteArray> lines = text_.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            lineNumber_ = i + 1;
            QByteArray bytes = lines.at(i);
            if (bytes.endsWith('\r'))
                bytes.chop(1);
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString line = utf8(bytes);
            if (utf8.hasError())
                fail(ResourceStrings::load(ResourceStrings::ReportNotUtf8));
            const Statement statement = split(line);
            if (!statement.keyword.isEmpty())
                apply(statement);
        }
        lineNumber_ = lines.size();
        if (!definition_.band(Band::Kind::Detail))
            fail(ResourceStrings::format(ResourceStrings::ReportMissing,
                                         QStringLiteral("band type=detail")));
        return definition_;
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw Error(ResourceStrings::format(
            ResourceStrings::ReportTemplateError,
            {QFileInfo(fileName_).absoluteFilePath(), QString::number(lineNumber_), what}));
    }

    Statement split(const QString& line) const
    {
        Statement statement;
        int at = 0;
        const auto skipBlanks = [&] {
            while (at < line.size() && line.at(at).isSpace())
                ++at;
        };
        skipBlanks();
        if (at == line.size() || line.at(at) == u'#')
            return statement;
        while (at < line.size() && !line.at(at).isSpace())
            statement.keyword += line.at(at++);
        for (skipBlanks(); at < line.size(); skipBlanks()) {
            QString name;
            while (at < line.size() && line.at(at) != u'=' && !line.at(at).isSpace())
                name += line.at(at++);
            if (at == line.size() || line.at(at) != u'=')
                fail(ResourceStrings::format(ResourceStrings::ReportUnknownWord, name));
            ++at;
            QString value;
            if (at < line.size() && line.at(at) == u'"') {
                bool closed = false;
                for (++at; at < line.size(); ++at) {
                    if (line.at(at) == u'\\' && at + 1 < line.size()) {
                        value += line.at(++at);
                    } else if (line.at(at) == u'"') {
                        closed = true;
                        ++at;
                        break;
                    } else {
                        value += line.at(at);
                    }
                }
                if (!closed)
                    fail(ResourceStrings::load(ResourceStrings::ReportUnclosedQuote));
            } else {
                while (at < line.size() && !line.at(at).isSpace())
                    value += line.at(at++);
            }
            if (statement.attributes.contains(name))
                fail(ResourceStrings::format(ResourceStrings::ReportUnknownWord, name));
            statement.attributes.insert(name, value);
        }
        return statement;
    }

    void apply(const Statement& statement)
    {
        current_ = &statement;
        const QString& keyword = statement.keyword;
        if (keyword == QLatin1String("report")) {
            allow({"name"});
            definition_.name = text("name", {});
        } else if (keyword == QLatin1String("page")) {
            readPage();
        } else if (keyword == QLatin1String("labels")) {
            readLabels();
        } else if (keyword == QLatin1String("band")) {
            readBand();
        } else if (keyword == QLatin1String("label") || keyword == QLatin1String("field") ||
                   keyword == QLatin1String("variable") || keyword == QLatin1String("line")) {
            readElement(keyword);
        } else {
            fail(ResourceStrings::format(ResourceStrings::ReportUnknownWord, keyword));
        }
    }

    void readPage()
    {
        allow({"size", "orientation", "margins"});
        static const QHash<QString, QPageSize::PageSizeId> sizes = {
            {QStringLiteral("A4"), QPageSize::A4},
            {QStringLiteral("A5"), QPageSize::A5},
            {QStringLiteral("Letter"), QPageSize::Letter},
            {QStringLiteral("Legal"), QPageSize::Legal},
        };
        definition_.pageSize = QPageSize(choice("size", sizes, QPageSize::A4));
        definition_.orientation = choice<QPageLayout::Orientation>(
            "orientation",
            {{QStringLiteral("portrait"), QPageLayout::Portrait},
             {QStringLiteral("landscape"), QPageLayout::Landscape}},
            QPageLayout::Portrait);
        const QString margins = text("margins", QStringLiteral("0"));
        const QStringList parts = margins.split(u',');
        QList<double> values;
        for (const QString& part : parts)
            values << number(QStringLiteral("margins"), part);
        if (values.size() == 1)
            definition_.margins = QMarginsF(values[0], values[0], values[0], values[0]);
        else if (values.size() == 4)
            definition_.margins = QMarginsF(values[0], values[1], values[2], values[3]);
        else
            fail(badValue("margins", margins));
    }

    void readLabels()
    {
        allow({"columns", "rows", "across", "down", "order"});
        LabelSheet sheet;
        sheet.columns = static_cast<int>(required("columns"));
        sheet.rows = static_cast<int>(required("rows"));
        sheet.across = required("across");
        sheet.down = required("down");
        if (sheet.columns < 1 || sheet.columns > 50)
            fail(badValue("columns", attribute("columns")));
        if (sheet.rows < 1 || sheet.rows > 100)
            fail(badValue("rows", attribute("rows")));
        sheet.downFirst = choice<bool>(
            "order", {{QStringLiteral("across"), false}, {QStringLiteral("down"), true}}, false);
        definition_.labels = sheet;
    }

    void readBand()
    {
        allow({"type", "height"});
        Band band;
        band.kind = choice<Band::Kind>("type",
                                       {{QStringLiteral("title"), Band::Kind::Title},
                                        {QStringLiteral("page-header"), Band::Kind::PageHeader},
                                        {QStringLiteral("detail"), Band::Kind::Detail},
                                        {QStringLiteral("page-footer"), Band::Kind::PageFooter}},
                                       Band::Kind::Detail, true);
        band.height = required("height");
        if (band.height <= 0)
            fail(badValue("height", attribute("height")));
        if (definition_.band(band.kind))
            fail(ResourceStrings::format(ResourceStrings::ReportUnknownWord,
                                         QStringLiteral("type=") + attribute("type")));
        definition_.bands.append(band);
    }

    void readElement(const QString& keyword)
    {
        if (definition_.bands.isEmpty())
            fail(ResourceStrings::load(ResourceStrings::ReportOutsideBand));
        Element element;
        QList<const char*> allowed{"left", "top", "width", "height"};
        const bool isLine = keyword == QLatin1String("line");
        if (isLine) {
            element.kind = Element::Kind::Line;
            allowed << "edge"
                    << "color"
                    << "weight";
        } else {
            allowed << "font"
                    << "size"
                    << "style"
                    << "color"
                    << "align"
                    << "shrink";
            if (keyword == QLatin1String("label")) {
                element.kind = Element::Kind::Label;
                allowed << "text";
            } else if (keyword == QLatin1String("field")) {
                element.kind = Element::Kind::Field;
                allowed << "name"
                        << "pipeline";
            } else {
                element.kind = Element::Kind::Variable;
                allowed << "value";
            }
        }
        allow(allowed);
        element.box =
            QRectF(required("left"), required("top"), required("width"), required("height"));
        if (element.box.width() < 0 || element.box.height() < 0)
            fail(badValue("width", attribute("width")));
        if (isLine) {
            element.edge = choice<Edge>("edge",
                                        {{QStringLiteral("top"), Edge::Top},
                                         {QStringLiteral("bottom"), Edge::Bottom},
                                         {QStringLiteral("left"), Edge::Left},
                                         {QStringLiteral("right"), Edge::Right}},
                                        Edge::Top);
            element.lineColor = color("color", Qt::black);
            element.weight = optionalNumber("weight", 0.75);
        } else {
            readFont(element.font);
            element.alignment = choice<Qt::Alignment>("align",
                                                      {{QStringLiteral("left"), Qt::AlignLeft},
                                                       {QStringLiteral("center"), Qt::AlignHCenter},
                                                       {QStringLiteral("right"), Qt::AlignRight}},
                                                      Qt::AlignLeft);
            element.shrinkToFit = choice<bool>(
                "shrink", {{QStringLiteral("yes"), true}, {QStringLiteral("no"), false}}, false);
        }
        switch (element.kind) {
        case Element::Kind::Label:
            element.text = text("text", {});
            break;
        case Element::Kind::Field:
            element.field = requiredText("name");
            element.pipeline = requiredText("pipeline");
            break;
        case Element::Kind::Variable:
            element.variable =
                choice<Variable>("value",
                                 {{QStringLiteral("date-time"), Variable::DateTime},
                                  {QStringLiteral("date"), Variable::Date},
                                  {QStringLiteral("page-number"), Variable::PageNumber},
                                  {QStringLiteral("page-count"), Variable::PageCount}},
                                 Variable::DateTime, true);
            break;
        case Element::Kind::Line:
            break;
        }
        definition_.bands.last().elements.append(element);
    }

    void readFont(Font& font)
    {
        font.family = text("font", font.family);
        font.size = optionalNumber("size", font.size);
        if (font.size <= 0 || font.size > 200)
            fail(badValue("size", attribute("size")));
        font.color = color("color", font.color);
        const QString style = text("style", {});
        for (const QString& part : style.split(u',', Qt::SkipEmptyParts)) {
            if (part == QLatin1String("bold"))
                font.bold = true;
            else if (part == QLatin1String("italic"))
                font.italic = true;
            else if (part == QLatin1String("underline"))
                font.underline = true;
            else
                fail(badValue("style", style));
        }
    }

    // Refuses an attribute the keyword does not have.
    void allow(const QList<const char*>& names) const
    {
        for (auto it = current_->attributes.cbegin(); it != current_->attributes.cend(); ++it) {
            bool known = false;
            for (const char* name : names)
                known = known || it.key() == QLatin1String(name);
            if (!known)
                fail(ResourceStrings::format(ResourceStrings::ReportUnknownWord, it.key()));
        }
    }

    QString attribute(const char* name) const
    {
        return current_->attributes.value(QString::fromLatin1(name));
    }
    bool has(const char* name) const
    {
        return current_->attributes.contains(QString::fromLatin1(name));
    }
    QString text(const char* name, const QString& fallback) const
    {
        return has(name) ? attribute(name) : fallback;
    }
    QString requiredText(const char* name) const
    {
        if (!has(name) || attribute(name).isEmpty())
            fail(
                ResourceStrings::format(ResourceStrings::ReportMissing, QString::fromLatin1(name)));
        return attribute(name);
    }
    QString badValue(const char* name, const QString& value) const
    {
        return ResourceStrings::format(ResourceStrings::ReportBadValue,
                                       {value, QString::fromLatin1(name)});
    }
    double number(const QString& name, const QString& value) const
    {
        bool ok = false;
        const double result = value.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(result) || std::abs(result) > 10000)
            fail(ResourceStrings::format(ResourceStrings::ReportBadValue, {value, name}));
        return result;
    }
    double required(const char* name) const
    {
        return number(QString::fromLatin1(name), requiredText(name));
    }
    double optionalNumber(const char* name, double fallback) const
    {
        return has(name) ? number(QString::fromLatin1(name), attribute(name)) : fallback;
    }
    QColor color(const char* name, const QColor& fallback) const
    {
        if (!has(name))
            return fallback;
        const QColor result = QColor::fromString(attribute(name));
        if (!result.isValid())
            fail(badValue(name, attribute(name)));
        return result;
    }
    template <typename T>
    T choice(const char* name, const QHash<QString, T>& choices, T fallback,
             bool mandatory = false) const
    {
        if (!has(name)) {
            if (mandatory)
                fail(ResourceStrings::format(ResourceStrings::ReportMissing,
                                             QString::fromLatin1(name)));
            return fallback;
        }
        const auto found = choices.constFind(attribute(name));
        if (found == choices.cend())
            fail(badValue(name, attribute(name)));
        return *found;
    }

    const QByteArray& text_;
    QString fileName_;
    int lineNumber_ = 0;
    const Statement* current_ = nullptr;
    Definition definition_;
};

} // namespace

Definition parseTemplate(const QByteArray& text, const QString& fileName)
{
    return Reader(text, fileName).read();
}

Definition readTemplate(const QString& fileName)
{
    const QString fullPath = QFileInfo(fileName).absoluteFilePath();
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile())
        throw Error(ResourceStrings::load(ResourceStrings::ReportFileNotFound) + u' ' + fullPath);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(file.errorString() + QStringLiteral(": ") + fullPath);
    return parseTemplate(file.readAll(), fileName);
}

} // namespace report

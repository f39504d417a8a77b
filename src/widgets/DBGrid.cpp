#include "widgets/DBGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOptionHeader>

namespace {

class ColumnList : public Collection
{
public:
    ColumnList(const QList<GridColumn*>& columns, QObject* parent)
        : Collection(parent), columns_(columns)
    {
    }
    int count() const override { return columns_.size(); }
    QObject* item(int index) const override { return columns_.value(index); }

private:
    const QList<GridColumn*>& columns_;
};

} // namespace

GridColumnTitle::GridColumnTitle(DBGrid* grid, QObject* parent) : QObject(parent), grid_(grid) {}

void GridColumnTitle::setCaption(const QString& caption)
{
    caption_ = caption;
    grid_->titleChanged();
}

GridColumn::GridColumn(DBGrid* grid, const QString& fieldName, const QString& caption, int width)
    : QObject(grid), fieldName_(fieldName), title_(new GridColumnTitle(grid, this)), width_(width)
{
    title_->setCaption(caption);
}

DataSetModel::DataSetModel(DBGrid* grid, DataSource* dataSource)
    : QAbstractTableModel(grid), grid_(grid), dataSource_(dataSource)
{
    connect(dataSource_, &DataSource::dataSetChanged, this, [this] { reset(); });
    auto follow = [this](auto signal, auto slot) { connect(dataSource_, signal, this, slot); };
    follow(&DataSource::dataChanged, [this](const Field*) {
        if (DataSet* ds = dataSet(); ds && ds->currentIndex() >= 0 && ds->currentIndex() < rows_)
            emit dataChanged(index(ds->currentIndex(), 0),
                             index(ds->currentIndex(), columnCount() - 1));
    });
    reset();
}

void DataSetModel::reset()
{
    followDataSet();
    beginResetModel();
    const DataSet* ds = dataSet();
    rows_ = ds ? ds->recordCount() : 0;
    endResetModel();
}

// A data set's new rows (a search, a reopening) take the place of the old ones in the view:
// the rows it shows are told their data changed, and only a difference in count is inserted or
// removed. A reset would also reset both headers and the selection, and repaint them all.
void DataSetModel::replaceRows()
{
    const DataSet* ds = dataSet();
    const int rows = ds ? ds->recordCount() : 0;
    if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    } else if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    if (rows_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1), {Qt::DisplayRole});
}

void DataSetModel::followDataSet()
{
    DataSet* ds = dataSet();
    if (ds == followed_)
        return;
    for (const auto& connection : std::as_const(rowConnections_))
        disconnect(connection);
    rowConnections_.clear();
    followed_ = ds;
    if (!ds)
        return;
    rowConnections_ << connect(ds, &DataSet::rowsReset, this, &DataSetModel::replaceRows)
                    << connect(ds, &DataSet::rowsFetched, this, &DataSetModel::rowsFetched)
                    << connect(ds, &DataSet::rowInserted, this, &DataSetModel::rowInserted)
                    << connect(ds, &DataSet::rowRemoved, this, &DataSetModel::rowRemoved);
}

void DataSetModel::rowsFetched(int first, int last)
{
    if (first != rows_)
        return reset();
    beginInsertRows({}, first, last);
    rows_ = last + 1;
    endInsertRows();
}

void DataSetModel::rowInserted(int row)
{
    beginInsertRows({}, row, row);
    ++rows_;
    endInsertRows();
}

void DataSetModel::rowRemoved(int row)
{
    beginRemoveRows({}, row, row);
    --rows_;
    endRemoveRows();
}

int DataSetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DataSetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(grid_->columnList().size());
}

QVariant DataSetModel::data(const QModelIndex& index, int role) const
{
    DataSet* ds = dataSet();
    if (!ds || !index.isValid() || role != Qt::DisplayRole)
        return {};
    const Field* field = grid_->columnList().at(index.column())->field(ds);
    if (!field)
        return {};
    // A note is only marked, so the grid never reads one.
    if (field->kind() == Field::Kind::TextBlob)
        return ds->isNull(index.row(), field->index()) ? QStringLiteral("(Memo)")
                                                       : QStringLiteral("(MEMO)");
    return field->textOf(ds->value(index.row(), field->index()));
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section < columnCount())
            return grid_->columnList().at(section)->title()->caption();
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
        return {};
    }
    // The row indicator: a mark beside the current row.
    if (role == Qt::DisplayRole) {
        DataSet* ds = dataSet();
        return ds && ds->currentIndex() == section ? DBGrid::rowMark() : QString();
    }
    return {};
}

bool DataSetModel::canFetchMore(const QModelIndex& parent) const
{
    DataSet* ds = dataSet();
    // Not while the data set tells of a change: the view asks in the middle of it.
    return !parent.isValid() && ds && !ds->isNotifying() && ds->canFetchMore();
}

void DataSetModel::fetchMore(const QModelIndex& parent)
{
    if (DataSet* ds = dataSet(); ds && !parent.isValid())
        ds->fetchMore(grid_->rowsPerScreen());
}

void DataSetModel::columnsChanged()
{
    beginResetModel();
    endResetModel();
}

DBGrid::DBGrid(const QString& name, QWidget* parent)
    : QTableView(parent), columns_(new ColumnList(columnList_, this))
{
    setObjectName(name);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::ClickFocus); // Tab passes it by
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    fitRowIndicator();
    // The selection stays as visible without focus as with it.
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
}

const Field* GridColumn::field(const DataSet* dataSet) const
{
    if (dataSet != fieldOf_) {
        fieldOf_ = dataSet;
        field_ = dataSet ? dataSet->findField(fieldName_) : nullptr;
    }
    return field_;
}

void DBGrid::setDataSource(DataSource* dataSource)
{
    dataSource_ = dataSource;
    model_ = new DataSetModel(this, dataSource);
    setModel(model_);
    // Rows are laid out at once, once the headers have counted them, rather than on the next
    // turn of the event loop, which would paint the grid a second time.
    connect(model_, &QAbstractItemModel::modelReset, this, &DBGrid::doItemsLayout);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &DBGrid::doItemsLayout);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &DBGrid::doItemsLayout);
    for (int i = 0; i < columnList_.size(); ++i)
        setColumnWidth(i, columnList_.at(i)->width());
    connect(dataSource_, &DataSource::currentRowChanged, this, &DBGrid::followCurrentRow);
    connect(dataSource_, &DataSource::stateChanged, this, &DBGrid::followCurrentRow);
    connect(dataSource_, &DataSource::dataSetChanged, this, &DBGrid::askForOneScreen);
    followCurrentRow();
    askForOneScreen();
}

int DBGrid::rowsPerScreen() const
{
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    return std::max(1, viewport()->height() / rowHeight + 1);
}

// The data set reads what the grid shows when it opens, and no more.
void DBGrid::askForOneScreen()
{
    if (DataSet* ds = dataSource_ ? dataSource_->dataSet() : nullptr)
        ds->setInitialFetch(rowsPerScreen() + 1);
}

void DBGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    askForOneScreen();
}

GridColumn* DBGrid::addColumn(const QString& fieldName, const QString& caption, int width)
{
    auto* column = new GridColumn(this, fieldName, caption, width);
    columnList_.append(column);
    if (model_) {
        model_->columnsChanged();
        setColumnWidth(static_cast<int>(columnList_.size()) - 1, width);
    }
    return column;
}

void DBGrid::titleChanged()
{
    if (model_)
        emit model_->headerDataChanged(Qt::Horizontal, 0, model_->columnCount() - 1);
}

void DBGrid::followCurrentRow()
{
    DataSet* ds = dataSource_ ? dataSource_->dataSet() : nullptr;
    const int row = ds ? ds->currentIndex() : -1;
    // The row indicator repaints the mark's old and new sections as the current index moves.
    if (row >= 0 && row < model_->rowCount()) {
        setCurrentIndex(model_->index(row, std::max(0, currentIndex().column())));
    } else {
        selectionModel()->clearCurrentIndex();
        clearSelection();
    }
}

QString DBGrid::rowMark()
{
    return QStringLiteral("\u25B6");
}

// The row indicator's column is as wide as its mark, with or without rows: moving the mark
// changes no geometry.
void DBGrid::fitRowIndicator()
{
    QStyleOptionHeader option;
    option.initFrom(verticalHeader());
    option.orientation = Qt::Vertical;
    option.text = rowMark();
    verticalHeader()->setFixedWidth(
        style()
            ->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), verticalHeader())
            .width());
}

void DBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        fitRowIndicator();
}

DataSet* DBGrid::activeDataSet() const
{
    DataSet* ds = dataSource_ ? dataSource_->dataSet() : nullptr;
    return ds && ds->isActive() ? ds : nullptr;
}

void DBGrid::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid())
        return QTableView::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    event->accept();
    if (DataSet* ds = activeDataSet(); ds && event->button() == Qt::LeftButton)
        ds->moveTo(index.row());
}

void DBGrid::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging over the rows selects nothing.
    if (!(event->buttons() & Qt::LeftButton))
        QTableView::mouseMoveEvent(event);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    DataSet* ds = activeDataSet();
    if (!ds || event->modifiers() & ~(Qt::KeypadModifier | Qt::ControlModifier))
        return QTableView::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Up:
        ds->prior();
        break;
    case Qt::Key_Down:
        ds->next();
        break;
    case Qt::Key_Home:
        ds->first();
        break;
    case Qt::Key_End:
        ds->last();
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const auto action = event->key() == Qt::Key_PageUp ? MovePageUp : MovePageDown;
        if (const QModelIndex target = moveCursor(action, event->modifiers()); target.isValid())
            ds->moveTo(target.row());
        break;
    }
    default:
        return QTableView::keyPressEvent(event);
    }
    event->accept();
}

#pragma once

#include "widgets/DataSource.h"
#include "widgets/Published.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

class DBGrid;

// The text of one column title.
class GridColumnTitle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    GridColumnTitle(DBGrid* grid, QObject* parent);
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);

private:
    DBGrid* grid_;
    QString caption_;
};

class GridColumn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ fieldName)
    Q_PROPERTY(GridColumnTitle* Title READ title)

public:
    GridColumn(DBGrid* grid, const QString& fieldName, const QString& caption, int width);
    QString fieldName() const { return fieldName_; }
    // The column's field in dataSet, looked up once per data set.
    const Field* field(const DataSet* dataSet) const;
    GridColumnTitle* title() const { return title_; }
    int width() const { return width_; }

private:
    QString fieldName_;
    GridColumnTitle* title_;
    int width_;
    mutable const DataSet* fieldOf_ = nullptr;
    mutable const Field* field_ = nullptr;
};

// The rows of a data set as a read-only table, fetched as the view scrolls to them.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    DataSetModel(DBGrid* grid, DataSource* dataSource);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    void columnsChanged();

private:
    DataSet* dataSet() const { return dataSource_->dataSet(); }
    void reset();
    void replaceRows();
    // Follows the rows of the data source's data set, and of that one only.
    void followDataSet();
    void rowsFetched(int first, int last);
    void rowInserted(int row);
    void rowRemoved(int row);

    DBGrid* grid_;
    DataSource* dataSource_;
    QPointer<DataSet> followed_;
    QList<QMetaObject::Connection> rowConnections_;
    int rows_ = 0; // rows the view knows of
};

// A read-only grid over a data set: whole rows selected, the current row marked and kept
// visible without focus, centred column titles, resizable columns, and out of the Tab order.
// The grid shows the data set's current row and never chooses one itself: a click or a
// navigation key asks the data set to move, and the grid follows when it has.
class DBGrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(Collection* Columns READ columns)

public:
    DBGrid(const QString& name, QWidget* parent);

    void setDataSource(DataSource* dataSource);
    DataSource* dataSource() const { return dataSource_; }
    GridColumn* addColumn(const QString& fieldName, const QString& caption, int width);
    QList<GridColumn*> columnList() const { return columnList_; }
    Collection* columns() const { return columns_; }
    void titleChanged();
    // Rows that fit in the viewport, counting one cut at the bottom.
    int rowsPerScreen() const;

    void keyboardSearch(const QString&) override {}
    // What the row indicator shows beside the current row.
    static QString rowMark();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void askForOneScreen();
    void followCurrentRow();
    void fitRowIndicator();
    DataSet* activeDataSet() const;

    DataSource* dataSource_ = nullptr;
    DataSetModel* model_ = nullptr;
    QList<GridColumn*> columnList_;
    Collection* columns_;
};

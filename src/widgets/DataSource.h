#pragma once

#include "db/DataSet.h"

#include <QObject>
#include <QPointer>

// Connects controls and windows to a data set: it follows the data set's notifications and
// writes the controls' pending input into their fields before the data set posts.
class DataSource : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~DataSource() override;

    DataSet* dataSet() const { return dataSet_; }
    void setDataSet(DataSet* dataSet);

    // A control with input not yet in its field; it is asked to write it before a post.
    class Editor
    {
    public:
        virtual ~Editor() = default;
        virtual void updateRecord() = 0;
        virtual bool hasPendingInput() const = 0;
    };
    void addEditor(Editor* editor);
    void removeEditor(Editor* editor);

    // True while the row being edited or entered differs from what it was: a field was set,
    // or a control holds input not yet written.
    bool hasPendingChanges() const;

signals:
    void dataSetChanged();
    void stateChanged();
    void dataChanged(const Field* field);
    void currentRowChanged();
    void postRefused(const Field* field);

private:
    void detach();
    void writeEditors();

    QPointer<DataSet> dataSet_;
    QList<QMetaObject::Connection> connections_;
    QList<Editor*> editors_;
    int writerId_ = -1;
};

#include "widgets/DataSource.h"

#include <algorithm>

DataSource::~DataSource()
{
    // Silently: the controls that listen may be gone already.
    detach();
}

void DataSource::detach()
{
    for (const auto& connection : connections_)
        disconnect(connection);
    connections_.clear();
    if (dataSet_ && writerId_ >= 0)
        dataSet_->removeRecordWriter(writerId_);
    writerId_ = -1;
    dataSet_ = nullptr;
}

void DataSource::setDataSet(DataSet* dataSet)
{
    if (dataSet_ == dataSet)
        return;
    detach();
    dataSet_ = dataSet;
    if (dataSet_) {
        connections_ << connect(dataSet_, &DataSet::stateChanged, this, &DataSource::stateChanged)
                     << connect(dataSet_, &DataSet::dataChanged, this, &DataSource::dataChanged)
                     << connect(dataSet_, &DataSet::currentRowChanged, this,
                                &DataSource::currentRowChanged)
                     << connect(dataSet_, &DataSet::postRefused, this, &DataSource::postRefused);
        writerId_ = dataSet_->addRecordWriter([this] { writeEditors(); });
    }
    emit dataSetChanged();
}

void DataSource::addEditor(Editor* editor)
{
    editors_.append(editor);
}

void DataSource::removeEditor(Editor* editor)
{
    editors_.removeOne(editor);
}

bool DataSource::hasPendingChanges() const
{
    if (!dataSet_ || !dataSet_->isEditing())
        return false;
    return dataSet_->isModified() || std::any_of(editors_.begin(), editors_.end(),
                                                 [](Editor* e) { return e->hasPendingInput(); });
}

void DataSource::writeEditors()
{
    for (Editor* editor : QList<Editor*>(editors_))
        editor->updateRecord();
}

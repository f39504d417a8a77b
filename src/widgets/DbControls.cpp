#include "widgets/DbControls.h"

FieldLink::FieldLink(QWidget* control) : control_(control) {}

FieldLink::~FieldLink()
{
    if (dataSource_)
        dataSource_->removeEditor(this);
}

void FieldLink::bind(DataSource* dataSource, const QString& fieldName)
{
    for (const auto& connection : connections_)
        QObject::disconnect(connection);
    connections_.clear();
    if (dataSource_)
        dataSource_->removeEditor(this);
    dataSource_ = dataSource;
    fieldName_ = fieldName;
    if (dataSource_) {
        dataSource_->addEditor(this);
        connections_ << QObject::connect(dataSource_, &DataSource::dataChanged, control_,
                                         [this](const Field* changed) {
                                             if (!changed || changed == field())
                                                 refresh();
                                         })
                     << QObject::connect(dataSource_, &DataSource::currentRowChanged, control_,
                                         [this] { refresh(); })
                     << QObject::connect(dataSource_, &DataSource::stateChanged, control_,
                                         [this] { refresh(); })
                     << QObject::connect(dataSource_, &DataSource::dataSetChanged, control_,
                                         [this] {
                                             findField();
                                             refresh();
                                         })
                     << QObject::connect(dataSource_, &DataSource::postRefused, control_,
                                         [this](const Field* refused) {
                                             if (refused && refused == field())
                                                 control_->setFocus();
                                         });
    }
    findField();
    refresh();
}

void FieldLink::findField()
{
    DataSet* dataSet = dataSource_ ? dataSource_->dataSet() : nullptr;
    field_ = dataSet ? dataSet->findField(fieldName_) : nullptr;
}

bool FieldLink::isEditing() const
{
    DataSet* dataSet = dataSource_ ? dataSource_->dataSet() : nullptr;
    return dataSet && dataSet->isEditing();
}

void FieldLink::updateRecord()
{
    Field* target = field();
    if (!dirty_ || !target)
        return;
    // A value the field refuses stays pending, so the next post refuses it again.
    try {
        writeValue(*target);
    } catch (...) {
        control_->setFocus();
        throw;
    }
    dirty_ = false;
}

void FieldLink::changedByUser()
{
    // Input outside an edit never reaches the field.
    if (isEditing())
        dirty_ = true;
    else
        refresh();
}

void FieldLink::refresh()
{
    dirty_ = false;
    showValue(field());
}

DBEdit::DBEdit(const QString& name, QWidget* parent) : Edit(name, parent), FieldLink(this)
{
    connect(this, &QLineEdit::textEdited, this, [this] { changedByUser(); });
}

void DBEdit::showValue(const Field* field)
{
    const QString maskText = field ? field->editMask() : QString();
    if (maskText != maskText_) {
        maskText_ = maskText;
        const EditMask mask = EditMask::parse(maskText);
        if (mask.pattern != mask_.pattern || mask.blank != mask_.blank) {
            mask_ = mask;
            setInputMask(mask_.toInputMask());
        }
    }
    const int maxLength =
        mask_.isEmpty() && field && field->kind() == Field::Kind::Text && field->size() > 0
            ? field->size()
            : 32767;
    if (mask_.isEmpty() && maxLength != this->maxLength())
        setMaxLength(maxLength);
    setReadOnly(!isEditing());
    // The same text again would only lay it out and paint it once more.
    const QString value = field ? field->asString() : QString();
    if (value != text() || isModified())
        setText(value);
}

void DBEdit::writeValue(Field& field)
{
    field.setAsString(mask_.isEmpty() ? text() : mask_.valueOf(displayText()));
}

DBMemo::DBMemo(const QString& name, QWidget* parent) : Memo(name, parent), FieldLink(this)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_)
            changedByUser();
    });
}

void DBMemo::showValue(const Field* field)
{
    showing_ = true;
    if (isReadOnly() == isEditing())
        setReadOnly(!isEditing());
    const QString text = field ? field->asString() : QString();
    if (toPlainText() != text)
        setPlainText(text);
    showing_ = false;
}

void DBMemo::writeValue(Field& field)
{
    field.setAsString(toPlainText());
}

DBComboBox::DBComboBox(const QString& name, QWidget* parent)
    : ComboBox(name, parent), FieldLink(this)
{
    setEditable(false);
    setSorted(true);
    connect(this, &QComboBox::activated, this, [this] { changedByUser(); });
}

void DBComboBox::showValue(const Field* field)
{
    setCurrentIndex(field ? findText(field->asString()) : -1);
}

void DBComboBox::writeValue(Field& field)
{
    field.setAsString(currentText());
}

DBCheckBox::DBCheckBox(const QString& name, const QString& caption, QWidget* parent)
    : CheckBox(name, caption, parent), FieldLink(this)
{
    setTristate(true);
    connect(this, &QCheckBox::clicked, this, [this] { changedByUser(); });
}

void DBCheckBox::setValues(const QString& checked, const QString& unchecked)
{
    valueChecked_ = checked;
    valueUnchecked_ = unchecked;
}

void DBCheckBox::showValue(const Field* field)
{
    // Stored values are matched without regard to case; anything else shows grey.
    const QString value = field ? field->asString() : QString();
    const auto is = [&value](const QString& stored) {
        return !value.isEmpty() && value.compare(stored, Qt::CaseInsensitive) == 0;
    };
    setCheckState(is(valueChecked_)     ? Qt::Checked
                  : is(valueUnchecked_) ? Qt::Unchecked
                                        : Qt::PartiallyChecked);
}

void DBCheckBox::writeValue(Field& field)
{
    field.setAsString(checkState() == Qt::Checked ? valueChecked_ : valueUnchecked_);
}

void DBCheckBox::nextCheckState()
{
    // A click toggles between the two values; grey is only shown, never chosen.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

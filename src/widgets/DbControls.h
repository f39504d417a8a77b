#pragma once

#include "widgets/Controls.h"
#include "widgets/DataSource.h"
#include "widgets/EditMask.h"

#include <QPointer>

// The tie between a control and one field of its data source's data set. The control shows
// the current row's value; what the user types is kept in the control and written into the
// field when the data set is about to post, so a value left untouched stays NULL.
class FieldLink : public DataSource::Editor
{
public:
    explicit FieldLink(QWidget* control);
    ~FieldLink() override;
    FieldLink(const FieldLink&) = delete;
    FieldLink& operator=(const FieldLink&) = delete;

    void bind(DataSource* dataSource, const QString& fieldName);
    DataSource* dataSource() const { return dataSource_; }
    QString fieldName() const { return fieldName_; }
    // The bound field, or null while the data set has none of that name. Looked up once for
    // each data set the source is given.
    Field* field() const { return field_; }
    bool isEditing() const;

    // Writes pending input into the field. A value the field refuses stays pending and takes
    // the focus to the control.
    void updateRecord() override;
    bool hasPendingInput() const override { return dirty_; }

protected:
    virtual void showValue(const Field* field) = 0;
    virtual void writeValue(Field& field) = 0;
    // Called when the user changed the control's value.
    void changedByUser();
    // Shows the field again, dropping what was typed.
    void refresh();

private:
    void findField();

    QWidget* control_;
    // A window's data source may go before its controls.
    QPointer<DataSource> dataSource_;
    QString fieldName_;
    Field* field_ = nullptr;
    bool dirty_ = false;
    QList<QMetaObject::Connection> connections_;
};

// A line edit on a text, integer or date field: its length limit is the field's width and its
// edit mask the field's.
class DBEdit : public Edit, public FieldLink
{
    Q_OBJECT

public:
    DBEdit(const QString& name, QWidget* parent);

protected:
    void showValue(const Field* field) override;
    void writeValue(Field& field) override;

private:
    QString maskText_; // the field's mask as mask_ was parsed from it
    EditMask mask_;
};

class DBMemo : public Memo, public FieldLink
{
    Q_OBJECT

public:
    DBMemo(const QString& name, QWidget* parent);

protected:
    void showValue(const Field* field) override;
    void writeValue(Field& field) override;

private:
    bool showing_ = false;
};

// A pick-only drop-down list of sorted items.
class DBComboBox : public ComboBox, public FieldLink
{
    Q_OBJECT

public:
    DBComboBox(const QString& name, QWidget* parent);

protected:
    void showValue(const Field* field) override;
    void writeValue(Field& field) override;
};

// Checked for ValueChecked, unchecked for ValueUnchecked, greyed for any other value.
class DBCheckBox : public CheckBox, public FieldLink
{
    Q_OBJECT

public:
    DBCheckBox(const QString& name, const QString& caption, QWidget* parent);
    void setValues(const QString& checked, const QString& unchecked);

protected:
    void showValue(const Field* field) override;
    void writeValue(Field& field) override;
    void nextCheckState() override;

private:
    QString valueChecked_ = QStringLiteral("True");
    QString valueUnchecked_ = QStringLiteral("False");
};

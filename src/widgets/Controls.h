#pragma once

#include "widgets/Published.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

class QButtonGroup;
class QRadioButton;

// The program's controls: Qt widgets that publish their texts under the names the language
// file uses (Caption, Hint, Text, Items, Lines, Panels), looked up by the translation engine.

class Button : public QToolButton
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    explicit Button(const QString& name, QWidget* parent);
    // The desktop theme's icon of that freedesktop name, else the toolkit's own.
    void setThemeIcon(const char* themeName, QStyle::StandardPixmap fallback);

protected:
    bool event(QEvent* event) override;
};

class Label : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    Label(const QString& name, const QString& caption, QWidget* parent);
    // A new caption, the label sized to it: a language switched while the window is open
    // shows whole.
    void setCaption(const QString& caption);
};

class Panel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    Panel(const QString& name, QWidget* parent);
};

// A sunken vertical line between groups of toolbar buttons.
class Bevel : public QFrame
{
    Q_OBJECT

public:
    Bevel(const QString& name, QWidget* parent);
};

class GroupBox : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ title WRITE setTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    GroupBox(const QString& name, const QString& caption, QWidget* parent);
};

class CheckBox : public QCheckBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    CheckBox(const QString& name, const QString& caption, QWidget* parent);
};

// A line edit; CharCase forces its whole text into capitals or small letters, however the
// text arrives: typed, composed with a dead key or an input method, pasted or set.
class Edit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    enum class CharCase
    {
        Normal,
        Upper,
        Lower
    };

    Edit(const QString& name, QWidget* parent);
    void setCharCase(CharCase charCase);
    CharCase charCase() const { return charCase_; }

private:
    CharCase charCase_ = CharCase::Normal;
};

class ComboBox : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ currentText WRITE setCurrentText)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
    Q_PROPERTY(StringList* Items READ items)

public:
    ComboBox(const QString& name, QWidget* parent);
    StringList* items() const { return items_; }
    // Keeps the items in alphabetical order, without regard to case, as they are added.
    void setSorted(bool sorted);
    void addSortedItem(const QString& text, const QVariant& data = {});

signals:
    // The text changed without a pick from the list: Backspace in a list that cannot be typed
    // into. The text itself stays.
    void changedWithoutPick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    StringList* items_;
    bool sorted_ = false;
};

class Memo : public QPlainTextEdit
{
    Q_OBJECT
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
    Q_PROPERTY(StringList* Lines READ lines)

public:
    Memo(const QString& name, QWidget* parent);
    StringList* lines() const { return lines_; }

private:
    StringList* lines_;
};

// A group of exclusive choices, one per item; ItemIndex is -1 when none is chosen.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ title WRITE setTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)
    Q_PROPERTY(StringList* Items READ items)

public:
    RadioGroup(const QString& name, const QString& caption, const QStringList& items,
               QWidget* parent);
    StringList* items() const { return items_; }
    int itemIndex() const;
    void setItemIndex(int index);
    QRadioButton* button(int index) const { return buttons_.value(index); }

signals:
    void clicked(int index);

private:
    friend class RadioGroupItems;
    QList<QRadioButton*> buttons_;
    QButtonGroup* group_;
    StringList* items_;
};

class Action : public QAction
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    Action(const QString& name, const QString& caption, QObject* parent);
};

// A status bar of fixed-width panels, each with a centred text.
class StatusPanel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)

public:
    explicit StatusPanel(QLabel* label, QObject* parent);
    QString text() const { return label_->text(); }
    void setText(const QString& text) { label_->setText(text); }
    int width() const { return label_->width(); }
    void setWidth(int width) { label_->setFixedWidth(width); }

private:
    QLabel* label_;
};

class StatusBar : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(Collection* Panels READ panels)

public:
    StatusBar(const QString& name, QWidget* parent);
    void setPanels(const QStringList& texts);
    int panelCount() const { return panelList_.size(); }
    StatusPanel* panel(int index) const { return panelList_.value(index); }
    Collection* panels() const { return panels_; }

private:
    QList<StatusPanel*> panelList_;
    Collection* panels_;
};

#include "widgets/Controls.h"

#include <QButtonGroup>
#include <QCollator>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QValidator>

namespace {

class ComboBoxItems : public StringList
{
public:
    explicit ComboBoxItems(QComboBox* box) : StringList(box), box_(box) {}
    int count() const override { return box_->count(); }
    QString item(int index) const override { return box_->itemText(index); }
    void setItem(int index, const QString& text) override { box_->setItemText(index, text); }

private:
    QComboBox* box_;
};

class MemoLines : public StringList
{
public:
    explicit MemoLines(QPlainTextEdit* memo) : StringList(memo), memo_(memo) {}
    int count() const override { return memo_->document()->blockCount(); }
    QString item(int index) const override
    {
        return memo_->document()->findBlockByNumber(index).text();
    }
    void setItem(int index, const QString& text) override
    {
        QStringList lines = memo_->toPlainText().split(u'\n');
        if (index < 0 || index >= lines.size())
            return;
        lines[index] = text;
        memo_->setPlainText(lines.join(u'\n'));
    }

private:
    QPlainTextEdit* memo_;
};

class PanelList : public Collection
{
public:
    PanelList(const QList<StatusPanel*>& panels, QObject* parent)
        : Collection(parent), panels_(panels)
    {
    }
    int count() const override { return panels_.size(); }
    QObject* item(int index) const override { return panels_.value(index); }

private:
    const QList<StatusPanel*>& panels_;
};

} // namespace

class RadioGroupItems : public StringList
{
public:
    explicit RadioGroupItems(RadioGroup* group) : StringList(group), group_(group) {}
    int count() const override { return group_->buttons_.size(); }
    QString item(int index) const override { return group_->buttons_.at(index)->text(); }
    void setItem(int index, const QString& text) override
    {
        group_->buttons_.at(index)->setText(text);
    }

private:
    RadioGroup* group_;
};

Button::Button(const QString& name, QWidget* parent) : QToolButton(parent)
{
    setObjectName(name);
    setAutoRaise(true);
    setCursor(Qt::PointingHandCursor);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setFocusPolicy(Qt::NoFocus);
}

void Button::setThemeIcon(const char* themeName, QStyle::StandardPixmap fallback)
{
    setIcon(QIcon::fromTheme(QString::fromLatin1(themeName), style()->standardIcon(fallback)));
}

bool Button::event(QEvent* event)
{
    // A button that shows only its image is named by its hint.
    if (event->type() == QEvent::ToolTipChange && text().isEmpty())
        setAccessibleName(toolTip());
    return QToolButton::event(event);
}

Label::Label(const QString& name, const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    setObjectName(name);
}

void Label::setCaption(const QString& caption)
{
    setText(caption);
    adjustSize();
}

Panel::Panel(const QString& name, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
}

Bevel::Bevel(const QString& name, QWidget* parent) : QFrame(parent)
{
    setObjectName(name);
    setFrameShape(QFrame::VLine);
    setFrameShadow(QFrame::Sunken);
}

GroupBox::GroupBox(const QString& name, const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent)
{
    setObjectName(name);
}

CheckBox::CheckBox(const QString& name, const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent)
{
    setObjectName(name);
}

Edit::Edit(const QString& name, QWidget* parent) : QLineEdit(parent)
{
    setObjectName(name);
}

namespace {

// The line edit runs every change of its text through its validator before it takes it, so
// the case is right before anyone hears of the change.
class CaseValidator : public QValidator
{
public:
    CaseValidator(Edit::CharCase charCase, QObject* parent)
        : QValidator(parent), charCase_(charCase)
    {
    }

    State validate(QString& input, int&) const override
    {
        input = charCase_ == Edit::CharCase::Upper ? input.toUpper() : input.toLower();
        return Acceptable;
    }

private:
    Edit::CharCase charCase_;
};

} // namespace

void Edit::setCharCase(CharCase charCase)
{
    charCase_ = charCase;
    delete validator();
    if (charCase != CharCase::Normal)
        setValidator(new CaseValidator(charCase, this));
}

ComboBox::ComboBox(const QString& name, QWidget* parent)
    : QComboBox(parent), items_(new ComboBoxItems(this))
{
    setObjectName(name);
}

void ComboBox::setSorted(bool sorted)
{
    sorted_ = sorted;
}

void ComboBox::addSortedItem(const QString& text, const QVariant& data)
{
    int at = count();
    if (sorted_) {
        // The same order on every desktop, whatever its locale.
        static const QCollator alphabetical = [] {
            QCollator collator(QLocale(QLocale::Portuguese, QLocale::Brazil));
            collator.setCaseSensitivity(Qt::CaseInsensitive);
            return collator;
        }();
        at = 0;
        while (at < count() && alphabetical.compare(itemText(at), text) <= 0)
            ++at;
    }
    insertItem(at, text, data);
}

void ComboBox::keyPressEvent(QKeyEvent* event)
{
    if (!isEditable() && event->key() == Qt::Key_Backspace &&
        event->modifiers() == Qt::NoModifier) {
        emit changedWithoutPick();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

Memo::Memo(const QString& name, QWidget* parent)
    : QPlainTextEdit(parent), lines_(new MemoLines(this))
{
    setObjectName(name);
    // Tab moves on, as it does from every other field; a note has no use for tab characters.
    setTabChangesFocus(true);
}

RadioGroup::RadioGroup(const QString& name, const QString& caption, const QStringList& items,
                       QWidget* parent)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this)), items_(new RadioGroupItems(this))
{
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items.at(i), this);
        buttons_.append(button);
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

int RadioGroup::itemIndex() const
{
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton* button = group_->button(index))
        button->setChecked(true);
}

Action::Action(const QString& name, const QString& caption, QObject* parent)
    : QAction(caption, parent)
{
    setObjectName(name);
}

StatusPanel::StatusPanel(QLabel* label, QObject* parent) : QObject(parent), label_(label) {}

StatusBar::StatusBar(const QString& name, QWidget* parent)
    : QFrame(parent), panels_(new PanelList(panelList_, this))
{
    setObjectName(name);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch();
}

void StatusBar::setPanels(const QStringList& texts)
{
    for (StatusPanel* panel : std::as_const(panelList_))
        delete panel->parent(); // the label, which owns the panel
    panelList_.clear();
    auto* row = static_cast<QHBoxLayout*>(layout());
    for (const QString& text : texts) {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignCenter);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        row->insertWidget(row->count() - 1, label);
        panelList_.append(new StatusPanel(label, label));
    }
}

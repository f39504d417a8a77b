#include "U_FormBase.h"

#include "LcUnit.h"
#include "widgets/Application.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

TFrmBase::TFrmBase(QWidget* parent)
    : QWidget(parent, Qt::Window), PFundo(new Panel(QStringLiteral("PFundo"), this)),
      PBusca(new Panel(QStringLiteral("PBusca"), this)), DataSource1(new DataSource(this)),
      ActionList1(new QObject(this))
{
    setObjectName(QStringLiteral("FrmBase"));
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    ActionList1->setObjectName(QStringLiteral("ActionList1"));
    setFont(Application::designFont());

    auto action = [this](const char* name, const QString& caption, int key) {
        auto* created = new Action(QString::fromLatin1(name), caption, ActionList1);
        if (key)
            created->setData(key);
        // Actions run only through the key preview and the buttons, never as Qt shortcuts.
        connect(created, &QAction::triggered, this, [this, created] { runAction(created); });
        return created;
    };
    Action1 = action("Action1", QStringLiteral("Sair"), Qt::Key_Escape);
    Novo = action("Novo", QStringLiteral("Novo"), Qt::Key_F2);
    Gravar = action("Gravar", QStringLiteral("Gravar"), Qt::Key_F3);
    Alterar = action("Alterar", QStringLiteral("Alterar"), Qt::Key_F4);
    Cancelar = action("Cancelar", QStringLiteral("Cancelar"), Qt::Key_F5);
    Excluir = action("Excluir", QStringLiteral("Excluir"), Qt::Key_F6);
    Primeiro = action("Primeiro", QStringLiteral("Primeiro"), 0);
    Anterior = action("Anterior", QStringLiteral("Anterior"), 0);
    Proximo = action("Proximo", QStringLiteral("Proximo"), 0);
    Ultimo = action("Ultimo", QStringLiteral("Último"), 0);

    qApp->installEventFilter(this);
}

TFrmBase::~TFrmBase()
{
    qApp->removeEventFilter(this);
}

void TFrmBase::FormCreate()
{
    TranslateComponent(this);
}

bool TFrmBase::actionApplies(const Action* action) const
{
    if (action == Action1)
        return true;
    const DataSet* ds = dataSet();
    if (!ds || !ds->isActive())
        return false;
    if (action == Novo)
        return ds->isModifiable();
    if (action == Gravar || action == Cancelar)
        return ds->isModifiable() && ds->isEditing();
    if (action == Alterar)
        return ds->isModifiable() && !ds->isEditing();
    if (action == Excluir)
        return ds->isModifiable() && !(ds->bof() && ds->eof());
    if (action == Primeiro || action == Anterior)
        return !ds->bof();
    if (action == Proximo || action == Ultimo)
        return !ds->eof();
    return false;
}

bool TFrmBase::runAction(Action* action)
{
    if (!actionApplies(action))
        return false;
    bool handled = false;
    ActionList1Execute(action, handled);
    if (!handled)
        executeAction(action);
    return true;
}

void TFrmBase::executeAction(Action* action)
{
    if (action == Action1) {
        SairExecute();
        return;
    }
    DataSet* ds = dataSet();
    if (action == Novo)
        ds->insert();
    else if (action == Gravar)
        ds->post();
    else if (action == Alterar)
        ds->edit();
    else if (action == Cancelar)
        ds->cancel();
    else if (action == Excluir)
        ds->remove();
    else if (action == Primeiro)
        ds->first();
    else if (action == Anterior)
        ds->prior();
    else if (action == Proximo)
        ds->next();
    else if (action == Ultimo)
        ds->last();
}

void TFrmBase::ActionList1Execute(Action*, bool&) {}

void TFrmBase::SairExecute()
{
    close();
}

Action* TFrmBase::actionForKey(const QKeyEvent* event) const
{
    // A shortcut matches only with no modifier held.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return nullptr;
    for (QObject* child : ActionList1->children()) {
        auto* action = qobject_cast<Action*>(child);
        if (action && action->data().toInt() == event->key())
            return action;
    }
    return nullptr;
}

void TFrmBase::FormKeyDown(QKeyEvent* event, bool& handled)
{
    // Ctrl+Delete never reaches a control: a grid's own row deletion must not run.
    if (event->key() == Qt::Key_Delete &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier)
        handled = true;
}

void TFrmBase::FormKeyPress(QKeyEvent* event, bool& handled)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return;
    focusNextPrevChild(!(event->modifiers() & Qt::ShiftModifier));
    handled = true;
}

bool TFrmBase::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    // The key is offered once, where it is first delivered.
    QWidget* focus = QApplication::focusWidget();
    if (widget != (focus && focus->window() == this ? focus : this))
        return false;

    auto* key = static_cast<QKeyEvent*>(event);
    if (Action* action = actionForKey(key); action && runAction(action))
        return true;
    bool handled = false;
    FormKeyDown(key, handled);
    if (!handled)
        FormKeyPress(key, handled);
    return handled;
}

void TFrmBase::FormShow()
{
    DataSet* ds = dataSet();
    if (!ds)
        return;
    // A data set that cannot be opened is reported; the window is shown anyway.
    try {
        ds->reopen(ds->sql());
    } catch (...) {
        Application::showCurrentException();
    }
}

void TFrmBase::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

bool TFrmBase::FormClose()
{
    setAttribute(Qt::WA_DeleteOnClose);
    return true;
}

void TFrmBase::closeEvent(QCloseEvent* event)
{
    if (!FormClose()) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        event->ignore();
        return;
    }
    event->accept();
}

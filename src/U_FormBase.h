#pragma once

#include "widgets/Application.h"
#include "widgets/Controls.h"
#include "widgets/DataSource.h"

#include <QWidget>

class QKeyEvent;

// The base of the record windows: a data source, the record actions with their function
// keys, Enter acting as Tab, no Ctrl+Delete, the data set reopened whenever the window is
// shown, translation at creation and destruction once closed.
class TFrmBase : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    explicit TFrmBase(QWidget* parent = nullptr);
    ~TFrmBase() override;

    Panel* PFundo;
    Panel* PBusca;
    DataSource* DataSource1;
    QObject* ActionList1;
    Action* Action1;
    Action* Novo;
    Action* Gravar;
    Action* Alterar;
    Action* Cancelar;
    Action* Excluir;
    Action* Primeiro;
    Action* Anterior;
    Action* Proximo;
    Action* Ultimo;

    // Runs once the window and its components exist (see CreateForm).
    virtual void FormCreate();

    // Whether an action applies to the data set's state at this moment.
    virtual bool actionApplies(const Action* action) const;
    // Runs the action when it applies; true when it ran. Errors reach the caller.
    bool runAction(Action* action);
    // The data set of DataSource1, or null.
    DataSet* dataSet() const { return DataSource1->dataSet(); }

protected:
    virtual void FormShow();
    // Returns false to keep the window open.
    virtual bool FormClose();
    // Key handlers; set handled to stop the key.
    virtual void FormKeyDown(QKeyEvent* event, bool& handled);
    virtual void FormKeyPress(QKeyEvent* event, bool& handled);
    virtual void SairExecute();
    // Runs before any action; set handled to stop it.
    virtual void ActionList1Execute(Action* action, bool& handled);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Action* actionForKey(const QKeyEvent* event) const;
    void executeAction(Action* action);
};

// Creates a window and runs its creation handler, as the toolkit does for its windows. An
// error of the handler is shown in the default error box; the window exists all the same.
template <typename Form, typename... Args> Form* CreateForm(Args&&... args)
{
    auto* form = new Form(std::forward<Args>(args)...);
    try {
        form->FormCreate();
    } catch (...) {
        Application::showCurrentException();
    }
    return form;
}

#include "U_BaseChild.h"

#include "U_Mensagens.h"
#include "widgets/Application.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace {

constexpr int kToolbarHeight = 32;

} // namespace

TFrmBaseFilha::TFrmBaseFilha(QWidget* parent)
    : TFrmBase(parent), Panel1(new Panel(QStringLiteral("Panel1"), this)),
      StatusBar1(new StatusBar(QStringLiteral("StatusBar1"), this))
{
    setObjectName(QStringLiteral("FrmBaseFilha"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    Panel1->setFixedHeight(kToolbarHeight);
    auto* toolbar = new QHBoxLayout(Panel1);
    toolbar->setContentsMargins(2, 0, 2, 0);
    toolbar->setSpacing(0);

    BNovo = linkedButton(QStringLiteral("BNovo"), Novo);
    BGravar = linkedButton(QStringLiteral("BGravar"), Gravar);
    BAlterar = linkedButton(QStringLiteral("BAlterar"), Alterar);
    BCancelar = linkedButton(QStringLiteral("BCancelar"), Cancelar);
    BExcluir = linkedButton(QStringLiteral("BExcluir"), Excluir);
    BImprimir = new Button(QStringLiteral("BImprimir"), Panel1);
    BImprimir->setText(QStringLiteral("Imprimir"));
    BImprimir->setToolTip(QStringLiteral("Imprimir"));
    connect(BImprimir, &QToolButton::clicked, this, [this] { BImprimirClick(); });
    toolbar->addWidget(BImprimir);
    Bevel1 = new Bevel(QStringLiteral("Bevel1"), Panel1);
    toolbar->addWidget(Bevel1);
    BPrimeiro = linkedButton(QStringLiteral("BPrimeiro"), Primeiro);
    BAnterior = linkedButton(QStringLiteral("BAnterior"), Anterior);
    BProximo = linkedButton(QStringLiteral("BProximo"), Proximo);
    BUltimo = linkedButton(QStringLiteral("BUltimo"), Ultimo);
    Bevel2 = new Bevel(QStringLiteral("Bevel2"), Panel1);
    toolbar->addWidget(Bevel2);
    BSair = linkedButton(QStringLiteral("BSair"), Action1);
    toolbar->addStretch();

    // Icons of the desktop's theme by their freedesktop names, the toolkit's own otherwise.
    const struct
    {
        Button* button;
        const char* themeName;
        QStyle::StandardPixmap fallback;
    } icons[] = {
        {BNovo, "document-new", QStyle::SP_FileIcon},
        {BGravar, "document-save", QStyle::SP_DialogSaveButton},
        {BAlterar, "document-edit", QStyle::SP_FileDialogDetailedView},
        {BCancelar, "edit-undo", QStyle::SP_DialogCancelButton},
        {BExcluir, "edit-delete", QStyle::SP_TrashIcon},
        {BImprimir, "document-print", QStyle::SP_FileDialogContentsView},
        {BPrimeiro, "go-first", QStyle::SP_MediaSkipBackward},
        {BAnterior, "go-previous", QStyle::SP_MediaSeekBackward},
        {BProximo, "go-next", QStyle::SP_MediaSeekForward},
        {BUltimo, "go-last", QStyle::SP_MediaSkipForward},
        {BSair, "application-exit", QStyle::SP_DialogCloseButton},
    };
    for (const auto& icon : icons)
        icon.button->setThemeIcon(icon.themeName, icon.fallback);
    // The navigation buttons show icons only.
    for (Button* button : {BPrimeiro, BAnterior, BProximo, BUltimo})
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);

    StatusBar1->setPanels({QStringLiteral("F2 - Novo"), QStringLiteral("F3 - Salvar"),
                           QStringLiteral("F4 - Alterar"), QStringLiteral("F5 - Cancelar"),
                           QStringLiteral("F6 - Excluir"), QStringLiteral("Esc - Sair")});

    // The field area is disabled while browsing, yet its values are what a person reads: they
    // keep a dark text on the disabled background.
    QPalette readable = PFundo->palette();
    for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        readable.setColor(QPalette::Disabled, role, QColor(0x33, 0x33, 0x33));
    PFundo->setPalette(readable);

    connect(DataSource1, &DataSource::stateChanged, this, &TFrmBaseFilha::stateChanged);
    connect(DataSource1, &DataSource::currentRowChanged, this, &TFrmBaseFilha::updateActions);
    connect(DataSource1, &DataSource::dataChanged, this, &TFrmBaseFilha::updateActions);
    connect(DataSource1, &DataSource::dataSetChanged, this, [this] {
        updateActions();
        DataSource1StateChange();
    });
    DataSource1StateChange();
}

Button* TFrmBaseFilha::linkedButton(const QString& name, Action* action)
{
    auto* button = new Button(name, Panel1);
    button->setText(action->text());
    Panel1->layout()->addWidget(button);
    buttonOf_[action] = button;
    applied_[action] = button->isEnabled();
    // A click runs the action only if it applies at that moment.
    connect(button, &QToolButton::clicked, this, [this, action] { runAction(action); });
    // The button shows the action's caption.
    connect(action, &QAction::changed, button, [button, action] {
        if (button->toolButtonStyle() != Qt::ToolButtonIconOnly)
            button->setText(action->text());
    });
    return button;
}

void TFrmBaseFilha::placeToolbar(std::initializer_list<ToolbarPlace> places)
{
    delete Panel1->layout();
    for (const ToolbarPlace& place : places)
        place.widget->setGeometry(place.left, 2, place.width, 29);
}

void TFrmBaseFilha::arrangeRegions(int fieldAreaHeight)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    PFundo->setFixedHeight(fieldAreaHeight);
    layout->addWidget(PFundo);
    layout->addWidget(PBusca, 1);
    layout->addWidget(StatusBar1);
}

void TFrmBaseFilha::stateChanged()
{
    updateActions();
    DataSource1StateChange();
    const DataSet* ds = dataSet();
    const bool editing = ds && ds->isEditing();
    if (editing && !wasEditing_)
        focusFirstFieldControl();
    wasEditing_ = editing;
}

void TFrmBaseFilha::focusFirstFieldControl()
{
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (PFundo->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isEnabled() && widget->isVisibleTo(this)) {
            widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

// A button follows its action between state changes while it shows what the action last was.
void TFrmBaseFilha::updateActions()
{
    for (auto it = buttonOf_.begin(); it != buttonOf_.end(); ++it) {
        const bool applies = actionApplies(it.key());
        if (it.value()->isEnabled() == applied_[it.key()])
            it.value()->setEnabled(applies);
        applied_[it.key()] = applies;
    }
}

void TFrmBaseFilha::DataSource1StateChange()
{
    const DataSet* ds = dataSet();
    const auto state = ds ? ds->state() : DataSet::State::Inactive;
    const bool browsing = state == DataSet::State::Browse;
    const bool editing = state == DataSet::State::Edit || state == DataSet::State::Insert;
    const bool hasRow = ds && !(ds->bof() && ds->eof());
    const bool atStart = !ds || ds->bof();
    const bool atEnd = !ds || ds->eof();
    PFundo->setEnabled(editing);
    BNovo->setEnabled(browsing);
    BAlterar->setEnabled(browsing && hasRow);
    BExcluir->setEnabled(browsing && hasRow);
    BGravar->setEnabled(!browsing);
    BCancelar->setEnabled(!browsing);
    BPrimeiro->setEnabled(browsing && !atStart);
    BAnterior->setEnabled(browsing && !atStart);
    BProximo->setEnabled(browsing && !atEnd);
    BUltimo->setEnabled(browsing && !atEnd);
}

void TFrmBaseFilha::FormShow()
{
    TFrmBase::FormShow();
    // The key panels share the bar: six on most windows, fewer where fewer keys apply.
    const int width = frameGeometry().width() / std::max(1, StatusBar1->panelCount());
    for (int i = 0; i < StatusBar1->panelCount(); ++i)
        StatusBar1->panel(i)->setWidth(width);
}

bool TFrmBaseFilha::FormClose()
{
    TFrmBase::FormClose();
    const DataSet* ds = dataSet();
    if (!ds || !ds->isEditing())
        return true;
    // Without a question the window closes with the row still in edit.
    return askToSaveEdit() != RespostaSalvar::Cancel;
}

RespostaSalvar TFrmBaseFilha::askToSaveEdit()
{
    const RespostaSalvar answer = PerguntarSalvarAlteracoes();
    switch (answer) {
    case RespostaSalvar::Yes:
        try {
            runAction(Gravar);
        } catch (...) {
            // The failed save is reported and the row stays in edit.
            Application::showCurrentException();
            return RespostaSalvar::Cancel;
        }
        break;
    case RespostaSalvar::No:
        runAction(Cancelar);
        break;
    case RespostaSalvar::Cancel:
    case RespostaSalvar::NoQuestion:
        break;
    }
    return answer;
}

void TFrmBaseFilha::FormKeyDown(QKeyEvent* event, bool& handled)
{
    TFrmBase::FormKeyDown(event, handled);
    // The key is not consumed: it goes on to the focused control.
    if (event->key() == Qt::Key_F6 && !BImprimir->isHidden())
        BImprimirClick();
}

void TFrmBaseFilha::ActionList1Execute(Action* action, bool& handled)
{
    TFrmBase::ActionList1Execute(action, handled);
    if (action == Excluir && !ConfirmarExclusao())
        handled = true;
}

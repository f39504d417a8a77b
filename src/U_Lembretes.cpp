#include "U_Lembretes.h"

#include "U_Agenda.h"
#include "U_CadLembretes.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "platform/AppFolder.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "widgets/Application.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

TFrmLembretes* FrmLembretes = nullptr;

namespace {

Button* alertButton(const char* name, const char* caption, const char* themeName,
                    QStyle::StandardPixmap fallback, int left, QWidget* parent)
{
    auto* button = new Button(QString::fromLatin1(name), parent);
    button->setText(QString::fromUtf8(caption));
    button->setThemeIcon(themeName, fallback);
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(left, 133, 95, 30);
    return button;
}

} // namespace

TFrmLembretes::TFrmLembretes(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      Panel1(new Panel(QStringLiteral("Panel1"), this)), DataSource1(new DataSource(this))
{
    setObjectName(QStringLiteral("FrmLembretes"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Its design texts: it is not translated when it is created.
    setWindowTitle(QStringLiteral("Lembretes"));
    setFont(Application::designFont());
    setFixedSize(299, 166);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    Label1 = new Label(QStringLiteral("Label1"), QStringLiteral("Mensagem:"), Panel1);
    Label1->move(8, 8);
    DBMemo1 = new DBMemo(QStringLiteral("DBMemo1"), Panel1);
    DBMemo1->setGeometry(7, 24, 283, 105);
    DataSource1->setDataSet(&DM->Q_Lembretes);
    DBMemo1->bind(DataSource1, QStringLiteral("LEM_MENSAGEM"));
    Label1->setBuddy(DBMemo1);
    BitBtn2 = alertButton("BitBtn2", "Excluir", "edit-delete", QStyle::SP_TrashIcon, 8, Panel1);
    BitBtn1 = alertButton("BitBtn1", "Alterar", "document-edit", QStyle::SP_FileDialogDetailedView,
                          104, Panel1);
    BitBtn3 =
        alertButton("BitBtn3", "Fechar", "window-close", QStyle::SP_DialogCloseButton, 200, Panel1);
    connect(BitBtn1, &QToolButton::clicked, this, &TFrmLembretes::BitBtn1Click);
    connect(BitBtn2, &QToolButton::clicked, this, &TFrmLembretes::BitBtn2Click);
    connect(BitBtn3, &QToolButton::clicked, this, &TFrmLembretes::BitBtn3Click);
}

TFrmLembretes::~TFrmLembretes()
{
    if (FrmLembretes == this)
        FrmLembretes = nullptr;
}

void TFrmLembretes::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmLembretes::FormShow()
{
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        move(CenteredPosition(primary->geometry(), frameGeometry().size()));
    Sound::play(applicationFolder() + QStringLiteral("/alarme.wav"));
}

// "Alterar": the reminder in the register, which opens on the due row.
void TFrmLembretes::BitBtn1Click()
{
    auto* reminders = CreateForm<TFrmCadLembretes>();
    Application::adopt(reminders);
    reminders->setAttribute(Qt::WA_DeleteOnClose);
    reminders->show();
    close();
}

// "Excluir": at once, without a question. Once a later check has found nothing due there is
// no reminder left to delete, and the alert only closes.
void TFrmLembretes::BitBtn2Click()
{
    DataSet& due = DM->Q_Lembretes;
    if (due.isActive() && !due.isEmpty()) {
        due.edit();
        due.remove();
    }
    close();
}

// "Fechar": the reminder stays due and comes back at the next check.
void TFrmLembretes::BitBtn3Click()
{
    DM->Q_Lembretes.close();
    close();
}

void VerificarLembretes(TFrmAgenda& mainWindow)
{
    DataSet& due = DM->Q_Lembretes;
    due.close();
    due.setParameter(QStringLiteral("DATAEHORA"), Clock::now());
    due.open();
    if (due.isEmpty()) {
        due.close();
        return;
    }
    if (!FrmLembretes) {
        FrmLembretes = new TFrmLembretes;
        Application::adopt(FrmLembretes);
    }
    // Visible and in front, restored when minimised, as the tray menu's "Restaurar" does.
    mainWindow.Maximizar1->trigger();
    FrmLembretes->show();
    FrmLembretes->raise();
    FrmLembretes->activateWindow();
}

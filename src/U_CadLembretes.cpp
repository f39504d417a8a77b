#include "U_CadLembretes.h"

#include "U_DM.h"
#include "U_Funcoes.h"

#include <QGuiApplication>
#include <QScreen>

TFrmCadLembretes::TFrmCadLembretes(QWidget* parent) : TFrmBaseFilha(parent)
{
    setObjectName(QStringLiteral("FrmCadLembretes"));
    setWindowTitle(QStringLiteral("Cadastro de Lembretes"));
    setFixedSize(401, 338);
    Panel1->setGeometry(0, 0, 401, 32);
    PFundo->setGeometry(0, 32, 401, 187);
    PBusca->setGeometry(0, 219, 401, 101);
    StatusBar1->setGeometry(0, 320, 401, 18);

    DataSource1->setDataSet(&DM->Q_CadLembretes);
    buildToolbar();
    buildForm();
    buildList();
    DataSource1StateChange();
}

void TFrmCadLembretes::buildToolbar()
{
    // This window places the toolbar's buttons itself; printing and moving are not offered.
    placeToolbar({
        {BNovo, 0, 61},
        {BGravar, 60, 67},
        {BAlterar, 127, 64},
        {BCancelar, 191, 78},
        {BExcluir, 269, 65},
        {Bevel2, 336, 2},
        {BSair, 338, 60},
    });
    for (QWidget* hidden : std::initializer_list<QWidget*>{BImprimir, Bevel1, BPrimeiro, BAnterior,
                                                           BProximo, BUltimo}) {
        hidden->move(500, 2);
        hidden->hide();
    }
}

void TFrmCadLembretes::buildForm()
{
    Label1 = new Label(QStringLiteral("Label1"), QStringLiteral("Mensagem:"), PFundo);
    Label1->move(8, 8);
    DBMemo1 = new DBMemo(QStringLiteral("DBMemo1"), PFundo);
    DBMemo1->setGeometry(8, 24, 379, 89);
    DBMemo1->bind(DataSource1, QStringLiteral("LEM_MENSAGEM"));
    Label1->setBuddy(DBMemo1);

    GroupBox1 = new GroupBox(QStringLiteral("GroupBox1"), QString(), PFundo);
    GroupBox1->setGeometry(8, 116, 384, 61);
    Label2 = new Label(QStringLiteral("Label2"), QStringLiteral("Data:"), GroupBox1);
    Label2->move(8, 25);
    DBEdit1 = new DBEdit(QStringLiteral("DBEdit1"), GroupBox1);
    DBEdit1->setGeometry(48, 22, 193, 21);
    DBEdit1->bind(DataSource1, QStringLiteral("LEM_DATA"));
    Label2->setBuddy(DBEdit1);
    Label3 = new Label(QStringLiteral("Label3"), QStringLiteral("Hora:"), GroupBox1);
    Label3->move(250, 26);
    DBEdit2 = new DBEdit(QStringLiteral("DBEdit2"), GroupBox1);
    DBEdit2->setGeometry(280, 22, 89, 21);
    DBEdit2->bind(DataSource1, QStringLiteral("LEM_HORA"));
    Label3->setBuddy(DBEdit2);
    setTabOrder(DBMemo1, DBEdit1);
    setTabOrder(DBEdit1, DBEdit2);
}

void TFrmCadLembretes::buildList()
{
    GroupBox2 =
        new GroupBox(QStringLiteral("GroupBox2"), QStringLiteral("Relação de Lembretes: "), PBusca);
    GroupBox2->setGeometry(8, 5, 384, 105);
    DBGrid1 = new DBGrid(QStringLiteral("DBGrid1"), GroupBox2);
    DBGrid1->setGeometry(8, 16, 366, 81);
    DBGrid1->setAccessibleName(QStringLiteral("Lembretes"));
    DBGrid1->setDataSource(DataSource1);
    DBGrid1->addColumn(QStringLiteral("LEM_DATA"), QStringLiteral("Data"), 124);
    DBGrid1->addColumn(QStringLiteral("LEM_HORA"), QStringLiteral("Hora"), 52);
    DBGrid1->addColumn(QStringLiteral("LEM_MENSAGEM"), QStringLiteral("Mensagem"), 153);
}

void TFrmCadLembretes::FormShow()
{
    TFrmBaseFilha::FormShow();
    // The due reminder, when the due check has one; 0, which no reminder has, otherwise.
    locate(DM->Q_Lembretes.fieldByName(QStringLiteral("LEM_CODIGO")).asInteger());
    if (!centred_) {
        centred_ = true;
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            move(CenteredPosition(primary->geometry(), frameGeometry().size()));
    }
}

void TFrmCadLembretes::locate(qint64 code)
{
    DataSet& reminders = DM->Q_CadLembretes;
    if (!reminders.isActive() || reminders.isEmpty())
        return;
    const int remembered = reminders.currentIndex();
    reminders.fetchAll();
    const int key = reminders.fieldByName(QStringLiteral("LEM_CODIGO")).index();
    for (int row = 0; row < reminders.recordCount(); ++row) {
        // Compared exactly: 12 never finds 120.
        if (reminders.value(row, key).toLongLong() == code) {
            reminders.moveTo(row);
            return;
        }
    }
    reminders.moveTo(remembered);
}

#include "U_Aniversariantes.h"

#include "LcUnit.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "U_Impressao.h"
#include "U_Mensagens.h"
#include "widgets/Application.h"

#include <QCloseEvent>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

using Kind = Field::Kind;

const QString kSqlRelatorio =
    QStringLiteral("Select distinct * from SP_Aniversariantes(:DataInicio, :DataFim)\n"
                   "Order by Extract(Month from Age_DataNasc), Extract(Day from Age_DataNasc)");

// The system's short date format with the whole year, so a typed date is never ambiguous.
QString fourDigitYear(QString format)
{
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    return format.replace(shortYear, QStringLiteral("yyyy"));
}

// Shows and edits the date only; the time of day of the value is kept as it is.
// Tab leaves the picker, as it leaves every control; the arrow keys move among its parts.
class DatePicker : public QDateTimeEdit
{
public:
    using QDateTimeEdit::QDateTimeEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QDateTimeEdit* datePicker(const QString& name, const QDateTime& value, QWidget* parent)
{
    auto* picker = new DatePicker(parent);
    picker->setObjectName(name);
    picker->setDisplayFormat(fourDigitYear(QLocale().dateFormat(QLocale::ShortFormat)));
    picker->setCalendarPopup(true);
    picker->setDateTime(value);
    return picker;
}

Button* imageButton(const QString& name, const QString& caption, const char* themeName,
                    QStyle::StandardPixmap fallback, QWidget* parent)
{
    auto* button = new Button(name, parent);
    button->setText(caption);
    button->setThemeIcon(themeName, fallback);
    return button;
}

} // namespace

TFrmAniversariantes::TFrmAniversariantes(QWidget* parent)
    : QWidget(parent, Qt::Window), Panel1(new Panel(QStringLiteral("Panel1"), this)),
      DBGrid1(new DBGrid(QStringLiteral("DBGrid1"), Panel1)), DataSource1(new DataSource(this)),
      GroupBox1(new GroupBox(QStringLiteral("GroupBox1"), QStringLiteral(" Período: "), Panel1)),
      Label1(new Label(QStringLiteral("Label1"), QStringLiteral("De:"), GroupBox1)),
      DTDataInicio(datePicker(QStringLiteral("DTDataInicio"),
                              QDateTime(QDate::currentDate(), QTime(0, 0, 0)), GroupBox1)),
      Label2(new Label(QStringLiteral("Label2"), QStringLiteral("a:"), GroupBox1)),
      DTDataFim(datePicker(QStringLiteral("DTDataFim"),
                           QDateTime(QDate::currentDate(), QTime(23, 59, 59)), GroupBox1)),
      PNGButton1(imageButton(QStringLiteral("PNGButton1"), QStringLiteral("Visualizar"),
                             "view-refresh", QStyle::SP_FileDialogContentsView, GroupBox1)),
      BRelacao(imageButton(QStringLiteral("BRelacao"), QStringLiteral("Imprimir relação"),
                           "document-print", QStyle::SP_FileDialogDetailedView, Panel1)),
      BEtiquetas(imageButton(QStringLiteral("BEtiquetas"), QStringLiteral("Imprimir etiquetas"),
                             "document-print", QStyle::SP_FileDialogListView, Panel1)),
      BitBtn3(imageButton(QStringLiteral("BitBtn3"), QStringLiteral("Fechar"), "window-close",
                          QStyle::SP_DialogCloseButton, Panel1)),
      Q_Relatorio(DM->Trans_Agenda), ppDBPipeline1(QStringLiteral("DBPipeline1"), &Q_Relatorio),
      ppReport1(ppDBPipeline1)
{
    setObjectName(QStringLiteral("FrmAniversariantes"));
    setWindowTitle(QStringLiteral("Relação de Aniversariantes"));
    setFont(Application::designFont());
    // A dialog of its designed size: nothing to gain from resizing it.
    setFixedSize(400, 262);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Panel1);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    GroupBox1->setGeometry(8, 6, 385, 59);
    // Four pixels left of the design, so that the English "From:" shows whole.
    Label1->move(5, 28);
    Label1->adjustSize();
    DTDataInicio->setGeometry(32, 24, 89, 21);
    Label2->move(130, 28);
    Label2->adjustSize();
    DTDataFim->setGeometry(152, 24, 89, 21);
    PNGButton1->setGeometry(252, 15, 125, 37);
    DBGrid1->setGeometry(8, 80, 385, 120);
    DBGrid1->setAccessibleName(QStringLiteral("Aniversariantes"));
    BRelacao->setGeometry(9, 216, 126, 36);
    BEtiquetas->setGeometry(153, 216, 129, 36);
    BitBtn3->setGeometry(294, 217, 96, 36);

    Q_Relatorio.setObjectName(QStringLiteral("Q_Relatorio"));
    Q_Relatorio.setSql(kSqlRelatorio);
    Q_Relatorio.addField(QStringLiteral("AGE_DATANASC"), Kind::DateTime);
    Q_Relatorio.addField(QStringLiteral("AGE_NOME"), Kind::Text, 45);
    Q_Relatorio.addField(QStringLiteral("AGE_TELEFONE"), Kind::Text, 45);
    Q_Relatorio.addField(QStringLiteral("AGE_ENDERECO"), Kind::Text, 45);
    Q_Relatorio.addField(QStringLiteral("AGE_CIDADE"), Kind::Text, 45);
    Q_Relatorio.addField(QStringLiteral("AGE_UF"), Kind::Text, 2);
    Q_Relatorio.addField(QStringLiteral("AGE_CEP"), Kind::Text, 10);
    Q_Relatorio.addCalculatedField(QStringLiteral("CIDADE_UF"), Kind::Text, 50);
    Q_Relatorio.onCalcFields = [this](DataSet& dataSet) { Q_RelatorioCalcFields(dataSet); };

    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DataSource1->setDataSet(&Q_Relatorio);
    DBGrid1->setDataSource(DataSource1);
    DBGrid1->addColumn(QStringLiteral("AGE_NOME"), QStringLiteral("Nome"), 252);
    DBGrid1->addColumn(QStringLiteral("AGE_DATANASC"), QStringLiteral("Data Nasc."), 98);

    connect(PNGButton1, &QToolButton::clicked, this, &TFrmAniversariantes::PNGButton1Click);
    connect(BRelacao, &QToolButton::clicked, this, &TFrmAniversariantes::BRelacaoClick);
    connect(BEtiquetas, &QToolButton::clicked, this, &TFrmAniversariantes::BEtiquetasClick);
    connect(BitBtn3, &QToolButton::clicked, this, &TFrmAniversariantes::BitBtn3Click);

    // Here the grid takes part in the Tab order; created first, it comes ahead of the period.
    DBGrid1->setFocusPolicy(Qt::StrongFocus);
    // After the grid and the period, the buttons in the order they stand.
    QWidget* previous = DBGrid1;
    for (QWidget* next : std::initializer_list<QWidget*>{DTDataInicio, DTDataFim, PNGButton1,
                                                         BRelacao, BEtiquetas, BitBtn3}) {
        next->setFocusPolicy(next == DTDataInicio || next == DTDataFim ? Qt::StrongFocus
                                                                       : Qt::TabFocus);
        setTabOrder(previous, next);
        previous = next;
    }
    Label1->setBuddy(DTDataInicio);
    Label2->setBuddy(DTDataFim);

    // The list starts with today's birthdays, the period the pickers show.
    PNGButton1Click();
}

TFrmAniversariantes::~TFrmAniversariantes()
{
    // While the grid still exists to follow it.
    Q_Relatorio.close();
}

void TFrmAniversariantes::FormCreate()
{
    TranslateComponent(this);
}

void TFrmAniversariantes::PNGButton1Click()
{
    Q_Relatorio.close();
    Q_Relatorio.setSql(kSqlRelatorio);
    Q_Relatorio.setParameter(0, DTDataInicio->dateTime());
    Q_Relatorio.setParameter(1, DTDataFim->dateTime());
    Q_Relatorio.open();
}

void TFrmAniversariantes::Q_RelatorioCalcFields(DataSet& dataSet)
{
    dataSet.fieldByName(QStringLiteral("CIDADE_UF"))
        .setValue(dataSet.fieldByName(QStringLiteral("AGE_CIDADE")).asString() +
                  QStringLiteral(" - ") + dataSet.fieldByName(QStringLiteral("AGE_UF")).asString());
}

void TFrmAniversariantes::imprimir(Impressao impressao)
{
    // Every row of the procedure has a birth date, so none means an empty list.
    if (Q_Relatorio.field(0).isNull()) {
        MostrarMensagem(impressao == Impressao::Relacao ? Mensagem::MsgSemAniversariantes
                                                        : Mensagem::MsgSemContato);
        return;
    }
    ImprimirRelatorio(ppReport1,
                      impressao == Impressao::Relacao
                          ? ModeloRelacao(Relacao::Aniversariantes, DM->languageIndex())
                          : QStringLiteral("Relatorios/RP_EtiquetaAniversariantes.rtm"),
                      this);
}

void TFrmAniversariantes::BRelacaoClick()
{
    imprimir(Impressao::Relacao);
}

void TFrmAniversariantes::BEtiquetasClick()
{
    imprimir(Impressao::Etiquetas);
}

void TFrmAniversariantes::BitBtn3Click()
{
    close();
}

void TFrmAniversariantes::centrar()
{
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        move(CenteredPosition(primary->geometry(), frameGeometry().size()));
}

void TFrmAniversariantes::keyPressEvent(QKeyEvent* event)
{
    if (!FecharComEsc(*this, event))
        QWidget::keyPressEvent(event);
}

void TFrmAniversariantes::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || centred_)
        return;
    centred_ = true;
    // After whatever position the opener gives the window once show() returns.
    QTimer::singleShot(0, this, &TFrmAniversariantes::centrar);
}

void TFrmAniversariantes::closeEvent(QCloseEvent* event)
{
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

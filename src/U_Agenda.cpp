#include "U_Agenda.h"

#include "LcUnit.h"
#include "U_Aniversariantes.h"
#include "U_CadLembretes.h"
#include "U_Copias.h"
#include "U_DM.h"
#include "U_Exportar.h"
#include "U_Funcoes.h"
#include "U_Importar.h"
#include "U_Impressao.h"
#include "U_Lembretes.h"
#include "U_Mapa.h"
#include "U_Mensagens.h"
#include "U_Opcoes.h"
#include "contacts/ContactFile.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"

#include <algorithm>

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

TFrmAgenda* FrmAgenda = nullptr;

namespace {

constexpr uint32_t kDefaultLanguage = 1046; // Portuguese (Brazil)

const QStringList& stateCodes()
{
    static const QStringList codes = {
        QStringLiteral("AC"), QStringLiteral("AL"), QStringLiteral("AM"), QStringLiteral("AP"),
        QStringLiteral("BA"), QStringLiteral("CE"), QStringLiteral("DF"), QStringLiteral("ES"),
        QStringLiteral("GO"), QStringLiteral("MA"), QStringLiteral("MG"), QStringLiteral("MS"),
        QStringLiteral("MT"), QStringLiteral("PA"), QStringLiteral("PB"), QStringLiteral("PE"),
        QStringLiteral("PI"), QStringLiteral("PR"), QStringLiteral("RJ"), QStringLiteral("RN"),
        QStringLiteral("RO"), QStringLiteral("RR"), QStringLiteral("RS"), QStringLiteral("SC"),
        QStringLiteral("SE"), QStringLiteral("SP"), QStringLiteral("TO")};
    return codes;
}

// The program's icon, "MAINICON": a blue card with a handset.
QIcon mainIcon()
{
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(47, 109, 181));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    QPainterPath handset;
    handset.moveTo(18, 16);
    handset.cubicTo(12, 30, 30, 50, 46, 46);
    handset.lineTo(48, 38);
    handset.lineTo(40, 34);
    handset.lineTo(36, 38);
    handset.cubicTo(30, 36, 26, 32, 24, 26);
    handset.lineTo(28, 22);
    handset.lineTo(24, 14);
    handset.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(handset);
    return QIcon(pixmap);
}

} // namespace

TFrmAgenda::TFrmAgenda(QWidget* parent)
    : TFrmBaseFilha(parent), ppDBPipeline1(QStringLiteral("DBPipeline1"), &DM->Q_Agenda),
      ppReport1(ppDBPipeline1), icon_(QIcon::fromTheme(QStringLiteral("tarvo-agenda"), mainIcon())),
      trayIcon_(new QSystemTrayIcon(this))
{
    setObjectName(QStringLiteral("FrmAgenda"));
    setWindowTitle(QStringLiteral("Agenda Telefônica"));
    setFixedSize(643, 541);

    Panel1->setGeometry(0, 0, 643, 32);
    PFundo->setGeometry(0, 32, 643, 273);
    PBusca->setGeometry(0, 305, 643, 218);
    StatusBar1->setGeometry(0, 523, 643, 18);

    DataSource1->setDataSet(&DM->Q_Agenda);
    buildToolbar();
    buildContactForm();
    buildSearchPanel();
    buildMenus();
    buildTimers();
    DataSource1StateChange();
}

TFrmAgenda::~TFrmAgenda()
{
    // FormDestroy: the icon leaves the notification area with the window.
    trayIcon_->hide();
    if (FrmAgenda == this)
        FrmAgenda = nullptr;
}

void TFrmAgenda::buildToolbar()
{
    PNGOpcoes = new Button(QStringLiteral("PNGOpcoes"), Panel1);
    PNGOpcoes->setToolTip(QStringLiteral("Opções"));
    PNGOpcoes->setThemeIcon("preferences-system", QStyle::SP_FileDialogDetailedView);
    PNGOpcoes->setToolButtonStyle(Qt::ToolButtonIconOnly);
    connect(PNGOpcoes, &QToolButton::clicked, this, [this] { TimerPopup->start(); });
    Bevel3 = new Bevel(QStringLiteral("Bevel3"), Panel1);

    // The main window places the toolbar's buttons itself.
    placeToolbar({
        {BNovo, 0, 68},
        {BGravar, 68, 71},
        {BAlterar, 139, 73},
        {BCancelar, 213, 82},
        {BExcluir, 295, 73},
        {BImprimir, 368, 77},
        {Bevel1, 445, 2},
        {BPrimeiro, 447, 24},
        {BAnterior, 471, 24},
        {BProximo, 495, 23},
        {BUltimo, 516, 23},
        {Bevel2, 541, 2},
        {PNGOpcoes, 545, 34},
        {Bevel3, 580, 3},
        {BSair, 581, 58},
    });
    Bevel3->setGeometry(580, 3, 3, 26);
}

void TFrmAgenda::buildContactForm()
{
    GroupBox4 = new GroupBox(QStringLiteral("GroupBox4"), QString(), PFundo);
    GroupBox4->setGeometry(7, 3, 628, 260);

    int labelNumber = 0;
    const auto edit = [&](DBEdit*& control, const char* name, const char* caption, QPoint labelAt,
                          QRect at, const char* field,
                          Edit::CharCase charCase = Edit::CharCase::Normal) {
        auto* label = new Label(QStringLiteral("Label%1").arg(++labelNumber),
                                QString::fromUtf8(caption), GroupBox4);
        label->move(labelAt);
        control = new DBEdit(QString::fromLatin1(name), GroupBox4);
        control->setGeometry(at);
        control->setCharCase(charCase);
        control->bind(DataSource1, QString::fromLatin1(field));
        // A screen reader names each field by its label.
        label->setBuddy(control);
    };
    const auto lower = Edit::CharCase::Lower;
    edit(DBNome, "DBNome", "Nome:", {9, 17}, {77, 12, 543, 21}, "AGE_NOME");
    edit(DBEdit9, "DBEdit9", "Fone:", {9, 43}, {77, 38, 150, 21}, "AGE_TELEFONE");
    edit(DBEdit14, "DBEdit14", "Celular:", {234, 43}, {271, 38, 143, 21}, "AGE_CELULAR");
    edit(DBEdit6, "DBEdit6", "Fax: ", {419, 43}, {455, 38, 165, 21}, "AGE_FAX");
    edit(DBEdit2, "DBEdit2", "Endereço:", {9, 69}, {77, 64, 337, 21}, "AGE_ENDERECO");
    edit(DBEdit3, "DBEdit3", "Bairro:", {418, 69}, {455, 64, 165, 21}, "AGE_BAIRRO");
    edit(DBEdit10, "DBEdit10", "Data Nasc.:", {9, 95}, {77, 90, 80, 21}, "AGE_DATANASC");
    edit(DBEdit4, "DBEdit4", "Cidade:", {161, 95}, {200, 90, 214, 21}, "AGE_CIDADE");

    auto* ufLabel =
        new Label(QStringLiteral("Label%1").arg(++labelNumber), QStringLiteral("UF:"), GroupBox4);
    ufLabel->move(418, 95);
    DBComboBox1 = new DBComboBox(QStringLiteral("DBComboBox1"), GroupBox4);
    DBComboBox1->setGeometry(455, 90, 41, 21);
    for (const QString& code : stateCodes())
        DBComboBox1->addSortedItem(code);
    DBComboBox1->bind(DataSource1, QStringLiteral("AGE_UF"));
    ufLabel->setBuddy(DBComboBox1);

    edit(DBEdit5, "DBEdit5", "CEP:", {508, 95}, {534, 90, 86, 21}, "AGE_CEP");
    edit(DBEdit13, "DBEdit13", "E-Mail:", {9, 121}, {77, 116, 337, 21}, "AGE_EMAIL", lower);
    edit(DBEdit8, "DBEdit8", "Skype:", {417, 121}, {455, 116, 165, 21}, "AGE_SKYPE", lower);
    edit(DBEdit1, "DBEdit1", "Site:", {9, 147}, {77, 142, 335, 21}, "AGE_WEB", lower);
    edit(DBEdit7, "DBEdit7", "MSN:", {418, 147}, {455, 142, 165, 21}, "AGE_MSN", lower);

    auto* notesLabel = new Label(QStringLiteral("Label%1").arg(++labelNumber),
                                 QStringLiteral("Observação:"), GroupBox4);
    notesLabel->move(9, 174);
    DBMemo1 = new DBMemo(QStringLiteral("DBMemo1"), GroupBox4);
    DBMemo1->setGeometry(77, 169, 443, 78);
    DBMemo1->bind(DataSource1, QStringLiteral("AGE_OBS"));
    notesLabel->setBuddy(DBMemo1);

    // The map window joins later; until then the button only sits in the form.
    BLocalizarMapa = new Button(QStringLiteral("BLocalizarMapa"), GroupBox4);
    BLocalizarMapa->setText(QStringLiteral("Localizar no mapa"));
    BLocalizarMapa->setThemeIcon("find-location", QStyle::SP_DirIcon);
    BLocalizarMapa->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    BLocalizarMapa->setGeometry(522, 172, 98, 73);
    connect(BLocalizarMapa, &QToolButton::clicked, this, &TFrmAgenda::BLocalizarMapaClick);

    QWidget* previous = DBNome;
    for (QWidget* next : std::initializer_list<QWidget*>{
             DBEdit9, DBEdit14, DBEdit6, DBEdit2, DBEdit3, DBEdit10, DBEdit4, DBComboBox1, DBEdit5,
             DBEdit13, DBEdit8, DBEdit1, DBEdit7, DBMemo1}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void TFrmAgenda::buildSearchPanel()
{
    DBGrid1 = new DBGrid(QStringLiteral("DBGrid1"), PBusca);
    DBGrid1->setGeometry(6, 8, 521, 129);
    DBGrid1->setAccessibleName(QStringLiteral("Contatos"));
    DBGrid1->setDataSource(DataSource1);
    DBGrid1->addColumn(QStringLiteral("AGE_NOME"), QStringLiteral("Nome"), 313);
    DBGrid1->addColumn(QStringLiteral("AGE_TELEFONE"), QStringLiteral("Fone"), 99);
    DBGrid1->addColumn(QStringLiteral("AGE_CELULAR"), QStringLiteral("Celular"), 76);

    LPesquisa = new Label(QStringLiteral("Label16"), QStringLiteral("Pesquisa:"), PBusca);
    LPesquisa->move(6, 145);
    EdPesquisa = new Edit(QStringLiteral("EdPesquisa"), PBusca);
    EdPesquisa->setGeometry(64, 141, 463, 21);
    EdPesquisa->setCharCase(Edit::CharCase::Upper);
    LPesquisa->setBuddy(EdPesquisa);
    connect(EdPesquisa, &QLineEdit::textChanged, this, &TFrmAgenda::EdPesquisaChange);

    RGLocalizar = new RadioGroup(QStringLiteral("RGLocalizar"), QStringLiteral("Localizar por: "),
                                 {QStringLiteral("Nome"), QStringLiteral("Cidade"),
                                  QStringLiteral("Fone"), QStringLiteral("Celular")},
                                 PBusca);
    RGLocalizar->setGeometry(532, 6, 103, 155);
    RGLocalizar->setItemIndex(0);
    connect(RGLocalizar, &RadioGroup::clicked, this, &TFrmAgenda::EdPesquisaChange);
    setTabOrder(EdPesquisa, RGLocalizar);

    // The banner: an empty strip of its colour over the lower part of the search panel.
    PBanner = new Panel(QStringLiteral("PBanner"), this);
    PBanner->setGeometry(0, 476, 642, 47);
    PBanner->setFrameShape(QFrame::Panel);
    PBanner->setFrameShadow(QFrame::Sunken);
    PBanner->setAutoFillBackground(true);
    QPalette banner = PBanner->palette();
    banner.setColor(QPalette::Window, QColor(143, 189, 239));
    PBanner->setPalette(banner);
    PBanner->raise();

    // Never seen: it carries the language list for the creation step.
    CBIdiomas = new ComboBox(QStringLiteral("CBIdiomas"), this);
    CBIdiomas->setSorted(true);
    CBIdiomas->setGeometry(613, 488, 23, 28);
    CBIdiomas->setFocusPolicy(Qt::NoFocus);
    CBIdiomas->lower();
    // Not shown to anyone, a screen reader included.
    CBIdiomas->hide();
}

void TFrmAgenda::buildMenus()
{
    PMImprimir = new QMenu(this);
    PMImprimir->setObjectName(QStringLiteral("PMImprimir"));
    RelaodeNomes1 = new Action(QStringLiteral("RelaodeNomes1"), QStringLiteral("Relação"), this);
    Etiquetas1 = new Action(QStringLiteral("Etiquetas1"), QStringLiteral("Etiquetas"), this);
    PMImprimir->addAction(RelaodeNomes1);
    PMImprimir->addAction(Etiquetas1);
    connect(RelaodeNomes1, &QAction::triggered, this, &TFrmAgenda::RelaodeNomes1Click);
    connect(Etiquetas1, &QAction::triggered, this, &TFrmAgenda::Etiquetas1Click);
    PMImprimir->addSeparator()->setObjectName(QStringLiteral("N3"));
    ExportarvCard1 =
        new Action(QStringLiteral("ExportarvCard1"), QStringLiteral("Exportar vCard…"), this);
    ExportarCSV1 =
        new Action(QStringLiteral("ExportarCSV1"), QStringLiteral("Exportar CSV…"), this);
    PMImprimir->addAction(ExportarvCard1);
    PMImprimir->addAction(ExportarCSV1);
    connect(ExportarvCard1, &QAction::triggered, this,
            [] { ExportarContatos(FormatoExportacao::VCard); });
    connect(ExportarCSV1, &QAction::triggered, this,
            [] { ExportarContatos(FormatoExportacao::Csv); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    const auto item = [this](const char* name, const char* caption) {
        auto* action = new Action(QString::fromLatin1(name), QString::fromUtf8(caption), this);
        PopupMenu1->addAction(action);
        return action;
    };
    Lembretes1 = item("Lembretes1", "Lembretes");
    Aniversariantes1 = item("Aniversariantes1", "Aniversariantes");
    ImportarContatos1 = item("ImportarContatos1", "Importar contatos…");
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Maximizar1 = item("Maximizar1", "Restaurar");
    Minimizar1 = item("Minimizar1", "Ocultar");
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("MenuItem1"));
    Copias1 = item("Copias1", "Cópias de segurança…");
    Opes1 = item("Opes1", "Opções");
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N2"));
    Fechar1 = item("Fechar1", "Fechar");
    connect(Lembretes1, &QAction::triggered, this, [] { AbrirFormulario<TFrmCadLembretes>(); });
    connect(Copias1, &QAction::triggered, this, [] { AbrirFormulario<TFrmCopias>(); });
    connect(Opes1, &QAction::triggered, this, &TFrmAgenda::Opes1Click);
    connect(Aniversariantes1, &QAction::triggered, this, &TFrmAgenda::Aniversariantes1Click);
    connect(ImportarContatos1, &QAction::triggered, this, &TFrmAgenda::ImportarContatos1Click);
    setAcceptDrops(true);
    connect(Maximizar1, &QAction::triggered, this, &TFrmAgenda::Maximizar1Click);
    connect(Minimizar1, &QAction::triggered, this, &TFrmAgenda::Minimizar1Click);
    connect(Fechar1, &QAction::triggered, this, &TFrmAgenda::Fechar1Click);

    connect(trayIcon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    MensagemBandeja(513);
                else if (reason == QSystemTrayIcon::Context)
                    MensagemBandeja(516);
            });
}

void TFrmAgenda::buildTimers()
{
    const auto timer = [this](const char* name, int interval, bool enabled, auto handler) {
        auto* created = new QTimer(this);
        created->setObjectName(QString::fromLatin1(name));
        created->setInterval(interval);
        connect(created, &QTimer::timeout, this, handler);
        if (enabled)
            created->start();
        return created;
    };
    TimerInicio = timer("TimerInicio", 50, true, &TFrmAgenda::TimerInicioTimer);
    TLembretes = timer("TLembretes", 60000, true, &TFrmAgenda::TLembretesTimer);
    TimerPopup = timer("TimerPopup", 200, false, &TFrmAgenda::TimerPopupTimer);
    TimerPopupPrint = timer("TimerPopupPrint", 200, false, &TFrmAgenda::TimerPopupPrintTimer);
    copiaAutomatica = new AutomaticBackup(this);
}

void TFrmAgenda::FormCreate()
{
    FrmAgenda = this;
    CriarIconeBandeja();

    const QString fileName = LanguageFileName();
    LoadLanguage(fileName, kDefaultLanguage, AdicionarIdioma, this);
    CBIdiomas->setCurrentIndex(CBIdiomas->findData(kDefaultLanguage));
    if (const int index = DM->languageIndex(); index >= 0)
        CBIdiomas->setCurrentIndex(index < CBIdiomas->count() ? index : -1);
    // No entry selected: reading its identifier fails as a list index error.
    if (CBIdiomas->currentIndex() < 0)
        throw Error(ResourceStrings::format(ResourceStrings::ListIndexError, QStringLiteral("-1")));
    LoadLanguage(fileName, CBIdiomas->currentData().toUInt());
    TranslateComponent(this);
}

void TFrmAgenda::CriarIconeBandeja()
{
    // Every window of the program wears its icon, the alert and the dialogs included.
    QApplication::setWindowIcon(icon_);
    setWindowIcon(icon_);
    trayIcon_->setIcon(icon_);
    trayIcon_->setToolTip(QStringLiteral("Tarvo Agenda"));
    trayIcon_->show();
}

void TFrmAgenda::MensagemBandeja(int lParam)
{
    if (lParam == 516) {
        TimerPopup->start();
        return;
    }
    if (lParam != 513)
        return;
    if (isMinimized())
        showNormal();
    else if (isVisible())
        hide();
    else
        show();
}

void TFrmAgenda::EdPesquisaChange()
{
    if (restoringSearch_)
        return;
    if (!settleEditBeforeSearch()) {
        restoreSearch();
        focusFirstFieldControl();
        return;
    }
    searchedText_ = EdPesquisa->text();
    searchedColumn_ = RGLocalizar->itemIndex();

    static const char* const columns[] = {"Age_Nome", "Age_Cidade", "Age_Telefone", "Age_Celular"};
    const int choice = std::clamp(RGLocalizar->itemIndex(), 0, 3);
    // The typed text is a pattern and nothing more: apostrophes are doubled.
    QString text = searchedText_;
    text.replace(u'\'', QStringLiteral("''"));
    // No stored text holds a character the database cannot store; sent, it would become '?'.
    const QString nothingMatches =
        CodePage::firstUnencodable(text) >= 0 ? QStringLiteral(" and 0 = 1") : QString();
    DM->Q_Agenda.reopen(QStringLiteral("Select * from tb_Agenda where \nUpper(%1) LIKE '%%2%'%3")
                            .arg(QString::fromLatin1(columns[choice]), text, nothingMatches));
}

// A row with a change is never dropped without the save question; one without is let go.
bool TFrmAgenda::settleEditBeforeSearch()
{
    if (!DM->Q_Agenda.isEditing())
        return true;
    if (!DataSource1->hasPendingChanges()) {
        runAction(Cancelar);
        return true;
    }
    // Cancel, a failed save, and no question at all keep the row in edit.
    const RespostaSalvar answer = askToSaveEdit();
    return answer == RespostaSalvar::Yes || answer == RespostaSalvar::No;
}

void TFrmAgenda::restoreSearch()
{
    restoringSearch_ = true;
    EdPesquisa->setText(searchedText_);
    RGLocalizar->setItemIndex(searchedColumn_);
    restoringSearch_ = false;
}

void TFrmAgenda::FormShow()
{
    insideShowStep_ = true;
    struct LeaveShowStep
    {
        TFrmAgenda* window;
        ~LeaveShowStep()
        {
            window->insideShowStep_ = false;
            // A start-up hide that fell due while the birthday window was up.
            if (window->hideAfterShowStep_) {
                window->hideAfterShowStep_ = false;
                QTimer::singleShot(0, window, &QWidget::hide);
            }
        }
    } leave{this};

    TFrmBaseFilha::FormShow();
    if (!centred_) {
        centred_ = true;
        if (const QScreen* primary = QGuiApplication::primaryScreen())
            move(CenteredPosition(primary->geometry(), frameGeometry().size()));
    }
    DataSet& birthdays = DM->Q_Aniversariantes;
    birthdays.close();
    birthdays.setParameter(QStringLiteral("DATA"), QDateTime(QDate::currentDate(), QTime(0, 0)));
    birthdays.open();
    if (!birthdays.isEmpty() && !birthdayWindowShown_) {
        birthdayWindowShown_ = true;
        AbrirFormulario<TFrmAniversariantes>();
    }
    birthdays.close();
    EdPesquisa->setFocus();
}

bool TFrmAgenda::FormClose()
{
    if (TFrmBaseFilha::FormClose())
        hide();
    return false;
}

void TFrmAgenda::FormKeyDown(QKeyEvent* event, bool& handled)
{
    TFrmBaseFilha::FormKeyDown(event, handled);
    if (handled || QApplication::focusWidget() != EdPesquisa)
        return;
    // The keys that move through the grid work from the search box too, so a contact is picked
    // without the mouse; Home and End with Ctrl, since alone they move in the text.
    const bool control = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        handled = plain;
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        handled = control;
        break;
    default:
        break;
    }
    if (handled) {
        QKeyEvent forwarded(event->type(), event->key(), event->modifiers());
        QCoreApplication::sendEvent(DBGrid1, &forwarded);
    }
}

void TFrmAgenda::BImprimirClick()
{
    TimerPopupPrint->start();
}

void TFrmAgenda::TimerInicioTimer()
{
    TimerInicio->stop();
    if (DM->TB_Configuracao.fieldByName(QStringLiteral("CFG_STARTMINIMIZADO")).asString() !=
        QLatin1String("S"))
        return;
    if (insideShowStep_)
        hideAfterShowStep_ = true;
    else
        hide();
}

void TFrmAgenda::TLembretesTimer()
{
    CriarIconeBandeja();
    VerificarLembretes(*this);
}

void TFrmAgenda::TimerPopupTimer()
{
    TimerPopup->stop();
    PopupMenu1->popup(QCursor::pos());
}

void TFrmAgenda::TimerPopupPrintTimer()
{
    TimerPopupPrint->stop();
    PMImprimir->popup(QCursor::pos());
}

void TFrmAgenda::BLocalizarMapaClick()
{
    const Field* code = DM->Q_Agenda.findField(QStringLiteral("AGE_CODIGO"));
    MostrarMapa(DM->Q_Agenda.isActive() && code ? code->asInteger() : 0);
}

void TFrmAgenda::RelaodeNomes1Click()
{
    imprimir(ModeloRelacao(Relacao::Agenda, DM->languageIndex()));
}

void TFrmAgenda::Etiquetas1Click()
{
    imprimir(QStringLiteral("Relatorios/RP_Etiqueta.rtm"));
}

void TFrmAgenda::imprimir(const QString& modelo)
{
    const Field* code = DM->Q_Agenda.findField(QStringLiteral("AGE_CODIGO"));
    if (!DM->Q_Agenda.isActive() || !code || code->isNull()) {
        MostrarMensagem(Mensagem::MsgSemContato);
        return;
    }
    ImprimirRelatorio(ppReport1, modelo, this);
}

void TFrmAgenda::Aniversariantes1Click()
{
    AbrirFormulario<TFrmAniversariantes>();
}

void TFrmAgenda::ImportarContatos1Click()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        Application::dialogParent(), ImportarContatos1->text().remove(u'…'), QString(),
        ResourceStrings::load(ResourceStrings::ImportFileFilter));
    if (!files.isEmpty())
        ImportarContatos(files);
}

// Only what the import takes is accepted, so other drops show the refusing cursor.
void TFrmAgenda::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && std::all_of(urls.cbegin(), urls.cend(), [](const QUrl& url) {
            return url.isLocalFile() && isContactFile(url.toLocalFile());
        }))
        event->acceptProposedAction();
}

void TFrmAgenda::dropEvent(QDropEvent* event)
{
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        files.append(url.toLocalFile());
    event->acceptProposedAction();
    // After the drop has ended, so the program the files came from is not kept waiting.
    QTimer::singleShot(0, this, [files] { ImportarContatos(files); });
}

void TFrmAgenda::Opes1Click()
{
    AbrirFormulario<TFrmOpcoes>();
}

void TFrmAgenda::Maximizar1Click()
{
    if (isMinimized()) {
        showNormal();
        return;
    }
    show();
    raise();
    activateWindow();
}

void TFrmAgenda::Minimizar1Click()
{
    if (isMinimized())
        showNormal();
    else
        hide();
}

void TFrmAgenda::Fechar1Click()
{
    // Every loop ends, a modal window's included; shutdown follows without a question.
    QCoreApplication::exit(0);
}

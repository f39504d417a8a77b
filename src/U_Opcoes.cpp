#include "U_Opcoes.h"

#include "LcUnit.h"
#include "U_Agenda.h"
#include "U_DM.h"
#include "platform/AppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

namespace {

const QString kNoSkin = QStringLiteral("Nenhum");

// A drop-down list in the window's own colours, whatever the skin.
void paintAsChoiceList(ComboBox* list)
{
    list->setSorted(true);
    QFont font = Application::designFont();
    font.setPixelSize(16);
    list->setFont(font);
    list->setStyleSheet(
        QStringLiteral("QComboBox { background-color: black; color: yellow; }"
                       "QComboBox QAbstractItemView { background-color: black; color: yellow;"
                       " selection-background-color: yellow; selection-color: black; }"));
}

QString skinsFolder()
{
    return resolvePathIgnoringCase(applicationFolder(), QStringLiteral("Skins")) + u'/';
}

} // namespace

TFrmOpcoes::TFrmOpcoes(QWidget* parent) : TFrmBaseFilha(parent)
{
    setObjectName(QStringLiteral("FrmOpcoes"));
    setWindowTitle(QStringLiteral("Opções"));
    setFixedSize(439, 300);
    Panel1->setGeometry(0, 0, 439, 32);
    PFundo->setGeometry(0, 32, 439, 250);
    PBusca->hide();
    StatusBar1->setGeometry(0, 282, 439, 18);
    StatusBar1->setPanels({QStringLiteral("F3 - Salvar"), QStringLiteral("F4 - Alterar"),
                           QStringLiteral("F5 - Cancelar"), QStringLiteral("Esc - Sair")});

    DataSource1->setDataSet(&DM->TB_Configuracao);
    buildToolbar();
    buildSettings();
    DataSource1StateChange();
}

void TFrmOpcoes::buildToolbar()
{
    placeToolbar({
        {BGravar, 0, 76},
        {BAlterar, 76, 74},
        {BCancelar, 151, 84},
        {Bevel2, 362, 2},
        {BSair, 365, 70},
    });
    for (QWidget* hidden : std::initializer_list<QWidget*>{
             BNovo, BExcluir, BImprimir, Bevel1, BPrimeiro, BAnterior, BProximo, BUltimo}) {
        hidden->move(500, 2);
        hidden->hide();
    }
}

void TFrmOpcoes::buildSettings()
{
    GroupBox1 =
        new GroupBox(QStringLiteral("GroupBox1"), QStringLiteral("Configurações: "), PFundo);
    GroupBox1->setGeometry(16, 19, 407, 210);

    Label54 = new Label(QStringLiteral("Label54"), QStringLiteral("Skin:"), GroupBox1);
    Label54->move(14, 26);
    cbSkin = new ComboBox(QStringLiteral("cbSkin"), GroupBox1);
    cbSkin->setGeometry(13, 41, 260, 28);
    paintAsChoiceList(cbSkin);
    Label54->setBuddy(cbSkin);
    connect(cbSkin, &QComboBox::activated, this, &TFrmOpcoes::cbSkinSelect);
    connect(cbSkin, &ComboBox::changedWithoutPick, this, &TFrmOpcoes::cbSkinChange);

    ImageSkin = new Label(QStringLiteral("ImageSkin"), QString(), GroupBox1);
    ImageSkin->setGeometry(297, 20, 87, 100);

    Label1 = new Label(QStringLiteral("Label1"), QStringLiteral("Idioma:"), GroupBox1);
    Label1->move(14, 73);
    CBIdiomas = new ComboBox(QStringLiteral("CBIdiomas"), GroupBox1);
    CBIdiomas->setGeometry(13, 88, 260, 28);
    paintAsChoiceList(CBIdiomas);
    Label1->setBuddy(CBIdiomas);
    connect(CBIdiomas, &QComboBox::activated, this, &TFrmOpcoes::CBIdiomasSelect);

    const auto flag = [this](const char* name, const char* caption, int top, int width,
                             const char* field) {
        auto* box =
            new DBCheckBox(QString::fromLatin1(name), QString::fromUtf8(caption), GroupBox1);
        box->setGeometry(13, top, width, 17);
        box->setValues(QStringLiteral("S"), QStringLiteral("N"));
        box->bind(DataSource1, QString::fromLatin1(field));
        return box;
    };
    DBCheckBox1 = flag("DBCheckBox1", "Executar automaticamente ao iniciar o windows", 144, 281,
                       "CFG_STARTWINDOWS");
    DBCheckBox2 = flag("DBCheckBox2", "Iniciar minimizado", 175, 169, "CFG_STARTMINIMIZADO");

    setTabOrder(cbSkin, DBCheckBox1);
    setTabOrder(DBCheckBox1, DBCheckBox2);
    setTabOrder(DBCheckBox2, CBIdiomas);
}

void TFrmOpcoes::FormCreate()
{
    TFrmBaseFilha::FormCreate();
    CBIdiomas->clear();
    if (!FrmAgenda)
        return;
    const ComboBox* languages = FrmAgenda->CBIdiomas;
    for (int i = 0; i < languages->count(); ++i)
        CBIdiomas->addSortedItem(languages->itemText(i), languages->itemData(i));
    CBIdiomas->setCurrentIndex(languages->currentIndex());
}

bool TFrmOpcoes::actionApplies(const Action* action) const
{
    // One configuration row: it is neither added to nor deleted, and there is none to move to.
    if (action == Novo || action == Excluir || action == Primeiro || action == Anterior ||
        action == Proximo || action == Ultimo)
        return false;
    return TFrmBaseFilha::actionApplies(action);
}

void TFrmOpcoes::FormShow()
{
    TFrmBaseFilha::FormShow();
    ListarSkins(skinsFolder(), cbSkin);
    cbSkin->addSortedItem(kNoSkin);
    const QString stored = dataSet()->fieldByName(QStringLiteral("CFG_SKIN")).asString();
    cbSkin->setCurrentIndex(stored.isEmpty() ? -1 : cbSkin->findText(stored, Qt::MatchFixedString));
    showPreview(cbSkin->currentText());
}

void TFrmOpcoes::ListarSkins(const QString& folder, ComboBox* list)
{
    // Any kind of entry counts, as long as its name has an extension.
    const QStringList entries =
        QDir(folder).entryList({QStringLiteral("*.skn")}, QDir::AllEntries | QDir::Hidden |
                                                              QDir::System | QDir::NoDotAndDotDot);
    list->clear();
    for (const QString& entry : entries) {
        if (entry.contains(u'.'))
            list->addSortedItem(entry.chopped(4));
    }
}

void TFrmOpcoes::editConfiguration()
{
    dataSet()->edit();
}

void TFrmOpcoes::showPreview(const QString& skin)
{
    const QString picture = resolvePathIgnoringCase(
        applicationFolder(), QStringLiteral("Skins/Images/") + skin + QStringLiteral(".jpg"));
    if (!QFileInfo(picture).isFile())
        return;
    // A damaged picture is no preview; the last one stays.
    const QPixmap preview(picture, "JPG");
    if (preview.isNull())
        return;
    ImageSkin->setPixmap(preview);
    ImageSkin->resize(preview.size());
}

void TFrmOpcoes::cbSkinSelect()
{
    editConfiguration();
    const QString skin = cbSkin->currentText();
    dataSet()->fieldByName(QStringLiteral("CFG_SKIN")).setAsString(skin);
    // The look changes when the row is saved.
    showPreview(skin);
}

void TFrmOpcoes::cbSkinChange()
{
    editConfiguration();
    Field& stored = dataSet()->fieldByName(QStringLiteral("CFG_SKIN"));
    const QString skin = cbSkin->currentText();
    if (stored.asString() == skin)
        return;
    SkinEngine& engine = DM->sd1;
    if (skin == kNoSkin) {
        engine.deactivate();
    } else {
        engine.setSkinFile(TDM::skinFile(skin));
        if (!engine.isActive())
            engine.activate();
    }
    stored.setAsString(skin);
}

void TFrmOpcoes::CBIdiomasSelect()
{
    editConfiguration();
    const int index = CBIdiomas->currentIndex();
    dataSet()->fieldByName(QStringLiteral("CFG_IDIOMA")).setValue(index);
    LoadLanguage(LanguageFileName(), CBIdiomas->currentData().toUInt());
    if (FrmAgenda)
        FrmAgenda->CBIdiomas->setCurrentIndex(index);
    // Every window speaks the new language at once, the main window first.
    TranslateComponent(FrmAgenda);
    for (QWidget* window : Application::adoptedWindows())
        TranslateComponent(window);
}

#include "U_Copias.h"

#include "LcUnit.h"
#include "U_DM.h"
#include "U_Mensagens.h"
#include "platform/Clock.h"
#include "platform/Error.h"
#include "platform/ResourceStrings.h"
#include "widgets/Application.h"
#include "widgets/Published.h"

#include <QEventLoop>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <memory>

namespace {

// The list's column titles, published for the language file.
class ColumnTitles : public StringList
{
public:
    explicit ColumnTitles(QTreeWidget* list) : StringList(list), list_(list) {}
    int count() const override { return list_->columnCount(); }
    QString item(int index) const override { return list_->headerItem()->text(index); }
    void setItem(int index, const QString& text) override
    {
        list_->headerItem()->setText(index, text);
    }

private:
    QTreeWidget* list_;
};

class CopyList : public QTreeWidget
{
    Q_OBJECT
    Q_PROPERTY(StringList* Columns READ columns)

public:
    explicit CopyList(QWidget* parent) : QTreeWidget(parent), columns_(new ColumnTitles(this)) {}
    StringList* columns() const { return columns_; }

private:
    StringList* columns_;
};

// The chosen copy restored beside the database, or why it could not be.
struct PreparedRestore
{
    std::shared_ptr<PendingRestore> restore;
    QString failure;
};

// On a worker thread: the database kept as a copy, the chosen one restored beside it.
PreparedRestore prepareRestore(const QString& database, const QString& copyFile,
                               const QDateTime& moment)
{
    try {
        BackupFolder(database).makeCopy(moment, true);
        return {std::make_shared<PendingRestore>(copyFile, database), {}};
    } catch (const Error& error) {
        return {nullptr, error.message()};
    }
}

// The data sets open now, closed so that nothing is attached to the database.
QList<DataSet*> closeDataSets()
{
    QList<DataSet*> open;
    for (DataSet* dataSet : {&DM->Q_Agenda, &DM->Q_Aniversariantes, &DM->Q_Lembretes,
                             &DM->Q_CadLembretes, &DM->TB_Configuracao}) {
        if (dataSet->isActive())
            open.append(dataSet);
        dataSet->close();
    }
    DM->DB_Agenda.close();
    return open;
}

void reopenDataSets(const QList<DataSet*>& dataSets)
{
    DM->DB_Agenda.open();
    for (DataSet* dataSet : dataSets) {
        if (!dataSet->isActive())
            dataSet->open();
    }
}

// As the program writes a moment everywhere else.
QString momento(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
}

} // namespace

TFrmCopias::TFrmCopias(QWidget* parent)
    : QDialog(parent),
      LCopias(new Label(QStringLiteral("LCopias"), QStringLiteral("Cópias:"), this)),
      LVCopias(new CopyList(this)), BRestaurar(new Button(QStringLiteral("BRestaurar"), this)),
      BFechar(new Button(QStringLiteral("BFechar"), this))
{
    setObjectName(QStringLiteral("FrmCopias"));
    setWindowTitle(QStringLiteral("Cópias de segurança"));
    setFont(Application::designFont());
    resize(520, 320);

    LVCopias->setObjectName(QStringLiteral("LVCopias"));
    LVCopias->setRootIsDecorated(false);
    LVCopias->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Tamanho"),
                               QStringLiteral("Contatos"), QStringLiteral("Lembretes")});
    LVCopias->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    LVCopias->header()->setStretchLastSection(false);
    LCopias->setBuddy(LVCopias);
    BRestaurar->setText(QStringLiteral("Restaurar"));
    BRestaurar->setThemeIcon("document-revert", QStyle::SP_BrowserReload);
    BRestaurar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BFechar->setText(QStringLiteral("Fechar"));
    BFechar->setThemeIcon("window-close", QStyle::SP_DialogCloseButton);
    BFechar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BRestaurar);
    buttons->addWidget(BFechar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LCopias);
    layout->addWidget(LVCopias);
    layout->addLayout(buttons);

    connect(LVCopias, &QTreeWidget::itemSelectionChanged, this,
            [this] { BRestaurar->setEnabled(!LVCopias->selectedItems().isEmpty()); });
    connect(BRestaurar, &QToolButton::clicked, this, &TFrmCopias::BRestaurarClick);
    connect(BFechar, &QToolButton::clicked, this, &QDialog::reject);
    listarCopias();
}

void TFrmCopias::FormCreate()
{
    TranslateComponent(this);
}

void TFrmCopias::listarCopias()
{
    LVCopias->clear();
    const QString database = DM->DB_Agenda.databaseName();
    copias_ = database.isEmpty() || isServerPath(database) ? QList<BackupCopy>()
                                                           : BackupFolder(database).copies();
    const QLocale locale;
    for (const BackupCopy& copia : copias_) {
        auto* item = new QTreeWidgetItem(LVCopias, {momento(copia.madeAt),
                                                    locale.formattedDataSize(copia.size),
                                                    locale.toString(copia.contents.contacts),
                                                    locale.toString(copia.contents.reminders)});
        for (int column = 1; column < LVCopias->columnCount(); ++column)
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (!copias_.isEmpty())
        LVCopias->setCurrentItem(LVCopias->topLevelItem(0));
    BRestaurar->setEnabled(!copias_.isEmpty());
}

void TFrmCopias::BRestaurarClick()
{
    const int index = LVCopias->indexOfTopLevelItem(LVCopias->currentItem());
    if (index < 0)
        return;
    const BackupCopy copia = copias_.at(index);
    const QString question =
        ResourceStrings::format(ResourceStrings::RestoreQuestion, momento(copia.madeAt));
    UsarIdiomaDoToolkit(DM->languageIndex());
    if (QMessageBox::question(
            Application::dialogParent(), QGuiApplication::applicationDisplayName(), question,
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    restaurar(copia);
}

void TFrmCopias::restaurar(const BackupCopy& copia)
{
    const QString database = DM->DB_Agenda.databaseName();
    // The copies are made and restored on a worker, so the window keeps painting meanwhile.
    setEnabled(false);
    QFutureWatcher<PreparedRestore> worker;
    QEventLoop wait;
    connect(&worker, &QFutureWatcherBase::finished, &wait, &QEventLoop::quit);
    worker.setFuture(QtConcurrent::run(prepareRestore, database, copia.path, Clock::now()));
    wait.exec();
    setEnabled(true);
    const PreparedRestore prepared = worker.result();
    if (!prepared.restore)
        throw Error(prepared.failure);

    const QList<DataSet*> dataSets = closeDataSets();
    try {
        prepared.restore->install();
    } catch (...) {
        reopenDataSets(dataSets);
        throw;
    }
    reopenDataSets(dataSets);
    listarCopias();
}

#include "U_Copias.moc"

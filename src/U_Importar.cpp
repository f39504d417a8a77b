#include "U_Importar.h"

#include "LcUnit.h"
#include "U_DM.h"
#include "U_Funcoes.h"
#include "contacts/ContactFile.h"
#include "platform/ResourceStrings.h"
#include "widgets/Application.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>

namespace {

class HeaderTitles : public StringList
{
public:
    explicit HeaderTitles(QTableWidget* table) : StringList(table), table_(table) {}
    int count() const override { return table_->columnCount(); }
    QString item(int index) const override { return table_->horizontalHeaderItem(index)->text(); }
    void setItem(int index, const QString& text) override
    {
        table_->horizontalHeaderItem(index)->setText(text);
    }

private:
    QTableWidget* table_;
};

enum Column
{
    ColNome,
    ColFone,
    ColCelular,
    ColEmail,
    ColSituacao,
    ColValores,
    ColAcao,
};

QString text(int id)
{
    return ResourceStrings::load(quintptr(id));
}

} // namespace

ImportTable::ImportTable(const QString& name, const QStringList& titles, QWidget* parent)
    : QTableWidget(0, int(titles.size()), parent), titles_(new HeaderTitles(this))
{
    setObjectName(name);
    setHorizontalHeaderLabels(titles);
}

TFrmImportar::TFrmImportar(std::vector<ImportedContact> imported, std::vector<StoredContact> stored,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      Label1(new Label(QStringLiteral("Label1"),
                       QStringLiteral("Confira os contatos antes de importá-los:"), this)),
      LVContatos(new ImportTable(QStringLiteral("LVContatos"),
                                 {QStringLiteral("Nome"), QStringLiteral("Fone"),
                                  QStringLiteral("Celular"), QStringLiteral("E-Mail"),
                                  QStringLiteral("Situação"),
                                  QStringLiteral("Valores que não cabem"), QStringLiteral("Ação")},
                                 this)),
      RGValores(new RadioGroup(
          QStringLiteral("RGValores"), QStringLiteral("Valores que não cabem: "),
          {QStringLiteral("Recusar o contato"), QStringLiteral("Cortar o valor")}, this)),
      BImportar(new Button(QStringLiteral("BImportar"), this)),
      BCancelar(new Button(QStringLiteral("BCancelar"), this)), stored_(std::move(stored))
{
    setObjectName(QStringLiteral("FrmImportar"));
    setWindowTitle(QStringLiteral("Importar contatos"));
    setFont(Application::designFont());
    resize(760, 420);

    Label1->setGeometry(8, 8, 744, 16);
    LVContatos->setGeometry(8, 28, 744, 300);
    LVContatos->setAccessibleName(QStringLiteral("Contatos a importar"));
    LVContatos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LVContatos->setSelectionBehavior(QAbstractItemView::SelectRows);
    LVContatos->horizontalHeader()->setStretchLastSection(true);
    Label1->setBuddy(LVContatos);
    RGValores->setGeometry(8, 334, 300, 78);
    // Nothing is changed unless the person says so.
    RGValores->setItemIndex(0);
    BImportar->setText(QStringLiteral("Importar"));
    BImportar->setThemeIcon("document-import", QStyle::SP_DialogApplyButton);
    BImportar->setGeometry(540, 372, 100, 36);
    BCancelar->setText(QStringLiteral("Cancelar"));
    BCancelar->setThemeIcon("dialog-cancel", QStyle::SP_DialogCancelButton);
    BCancelar->setGeometry(652, 372, 100, 36);
    for (Button* button : {BImportar, BCancelar})
        button->setFocusPolicy(Qt::StrongFocus);
    connect(BImportar, &QToolButton::clicked, this, &TFrmImportar::BImportarClick);
    connect(BCancelar, &QToolButton::clicked, this, &TFrmImportar::BCancelarClick);

    for (ImportedContact& contact : imported) {
        Line line{std::move(contact), std::nullopt, {}, nullptr};
        if (line.imported.refusal.isEmpty()) {
            line.duplicate = findDuplicate(line.imported.contact, stored_);
            line.problems = fitProblems(line.imported.contact);
        }
        lines_.push_back(std::move(line));
    }
    fillTable();
    setTabOrder(LVContatos, RGValores);
    setTabOrder(RGValores, BImportar);
    setTabOrder(BImportar, BCancelar);
}

void TFrmImportar::FormCreate()
{
    TranslateComponent(this);
}

void TFrmImportar::fillTable()
{
    LVContatos->setRowCount(int(lines_.size()));
    for (int row = 0; row < int(lines_.size()); ++row) {
        Line& line = lines_[std::size_t(row)];
        const Contact& contact = line.imported.contact;
        const auto cell = [&](int column, const QString& value) {
            auto* item = new QTableWidgetItem(value);
            item->setToolTip(value);
            LVContatos->setItem(row, column, item);
        };
        cell(ColNome, contact[ContactField::Nome]);
        cell(ColFone, contact[ContactField::Telefone]);
        cell(ColCelular, contact[ContactField::Celular]);
        cell(ColEmail, contact[ContactField::Email]);
        cell(ColSituacao, situation(line));
        QStringList problems;
        for (const FitProblem& problem : line.problems)
            problems.append(problem.description);
        cell(ColValores, problems.join(QStringLiteral("; ")));
        line.acao = actionChoice(line);
        if (line.acao)
            LVContatos->setCellWidget(row, ColAcao, line.acao);
    }
    LVContatos->resizeColumnsToContents();
}

QString TFrmImportar::situation(const Line& line) const
{
    if (!line.imported.refusal.isEmpty())
        return ResourceStrings::format(ResourceStrings::ImportStatusRefused, line.imported.refusal);
    if (line.duplicate)
        return ResourceStrings::format(ResourceStrings::ImportStatusLooksLike,
                                       stored_[*line.duplicate].contact[ContactField::Nome]);
    return text(ResourceStrings::ImportStatusNew);
}

// A contact like a stored one is skipped unless the person says otherwise.
QComboBox* TFrmImportar::actionChoice(const Line& line)
{
    if (!line.imported.refusal.isEmpty())
        return nullptr;
    auto* choice = new QComboBox;
    choice->setAccessibleName(line.imported.contact[ContactField::Nome]);
    const auto add = [choice](int id, Acao acao) { choice->addItem(text(id), int(acao)); };
    if (line.duplicate) {
        add(ResourceStrings::ImportActionSkip, Acao::Ignorar);
        add(ResourceStrings::ImportActionAddAnyway, Acao::Adicionar);
        add(ResourceStrings::ImportActionFill, Acao::Completar);
    } else {
        add(ResourceStrings::ImportActionAdd, Acao::Adicionar);
        add(ResourceStrings::ImportActionSkip, Acao::Ignorar);
    }
    return choice;
}

ContactWrites TFrmImportar::writes() const
{
    const bool cut = RGValores->itemIndex() == 1;
    ContactWrites writes;
    for (const Line& line : lines_) {
        if (!line.acao)
            continue;
        const auto acao = Acao(line.acao->currentData().toInt());
        if (acao == Acao::Ignorar || (!line.problems.empty() && !cut))
            continue;
        const Contact contact =
            line.problems.empty() ? line.imported.contact : cutToFit(line.imported.contact);
        if (acao == Acao::Adicionar) {
            writes.additions.push_back(contact);
        } else {
            const StoredContact& existing = stored_[*line.duplicate];
            writes.updates.push_back({existing.code, filledFrom(existing.contact, contact)});
        }
    }
    return writes;
}

void TFrmImportar::BImportarClick()
{
    writeContacts(DM->DB_Agenda, writes());
    // A contact being typed in the main window is left as it is; the list follows later.
    if (!DM->Q_Agenda.isEditing())
        DM->Q_Agenda.reopen(DM->Q_Agenda.sql());
    close();
}

void TFrmImportar::BCancelarClick()
{
    close();
}

void TFrmImportar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFrmImportar::closeEvent(QCloseEvent* event)
{
    setAttribute(Qt::WA_DeleteOnClose);
    event->accept();
}

void ImportarContatos(const QStringList& files)
{
    std::vector<ImportedContact> imported;
    for (const QString& file : files) {
        std::vector<ImportedContact> contacts = readContactFile(file);
        std::move(contacts.begin(), contacts.end(), std::back_inserter(imported));
    }
    ShowFormModal(
        CreateForm<TFrmImportar>(std::move(imported), readStoredContacts(DM->Trans_Agenda)));
}

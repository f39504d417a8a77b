#pragma once

#include "contacts/ContactCheck.h"
#include "contacts/ContactStore.h"
#include "widgets/Controls.h"

#include <QTableWidget>
#include <QWidget>

#include <vector>

class QComboBox;

// A table that publishes its column titles, so the language file can translate them.
class ImportTable : public QTableWidget
{
    Q_OBJECT
    Q_PROPERTY(StringList* Titles READ titles)

public:
    ImportTable(const QString& name, const QStringList& titles, QWidget* parent);
    StringList* titles() const { return titles_; }

private:
    StringList* titles_;
};

// The preview of an import: every contact the files bring, what it looks like among the
// stored ones, what of it does not fit, and what to do with it. Nothing is written until the
// person confirms; then everything at once.
class TFrmImportar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    // What to do with a contact; the items of its row's choice hold these.
    enum class Acao
    {
        Adicionar,
        Ignorar,
        Completar, // fill the empty fields of the stored contact it looks like
    };

    TFrmImportar(std::vector<ImportedContact> imported, std::vector<StoredContact> stored,
                 QWidget* parent = nullptr);

    // Runs once the window and its components exist (see CreateForm).
    void FormCreate();

    Label* Label1;
    ImportTable* LVContatos;
    RadioGroup* RGValores; // values that do not fit: 0 refuse the contact, 1 cut the value
    Button* BImportar;
    Button* BCancelar;

    // The choice of a row; null for a refused contact, which has none.
    QComboBox* acao(int row) const { return lines_.at(std::size_t(row)).acao; }
    // What confirming writes, by the choices as they stand.
    ContactWrites writes() const;

    // Writes, shows the new contacts in the main window's grid and closes; an error of the
    // database reaches the error box and the window stays, nothing written.
    void BImportarClick();
    void BCancelarClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Line
    {
        ImportedContact imported;
        std::optional<std::size_t> duplicate; // in stored_
        std::vector<FitProblem> problems;
        QComboBox* acao = nullptr;
    };
    void fillTable();
    QString situation(const Line& line) const;
    QComboBox* actionChoice(const Line& line);

    std::vector<StoredContact> stored_;
    std::vector<Line> lines_;
};

// Reads the files and opens the preview of what they bring, modally. A file that cannot be
// read stops everything before the preview, with its reason.
void ImportarContatos(const QStringList& files);

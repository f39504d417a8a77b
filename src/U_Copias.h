#pragma once

#include "db/BackupFolder.h"
#include "widgets/Controls.h"

#include <QDialog>

class QTreeWidget;

// The verified copies of the agenda, newest first, and the restore of one of them: the
// agenda as it is is kept as one more copy, the chosen copy takes the database's place and
// every data set is opened again on it.
class TFrmCopias : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)

public:
    explicit TFrmCopias(QWidget* parent = nullptr);

    // Runs once the window and its components exist (see CreateForm).
    void FormCreate();

    Label* LCopias;
    QTreeWidget* LVCopias;
    Button* BRestaurar;
    Button* BFechar;

    // Fills the list from the copies folder.
    void listarCopias();
    // Asks, then restores the chosen copy; an error reaches the caller with nothing replaced.
    void BRestaurarClick();

private:
    void restaurar(const BackupCopy& copia);

    QList<BackupCopy> copias_; // as the list shows them
};

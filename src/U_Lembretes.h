#pragma once

#include "widgets/Controls.h"
#include "widgets/DataSource.h"
#include "widgets/DbControls.h"

#include <QWidget>

class TFrmAgenda;

// The alert of a due reminder: its message on top of every ordinary window, with the alarm.
// "Excluir" deletes the reminder, "Alterar" opens it in the register, "Fechar" lets it come
// back at the next check.
class TFrmLembretes : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)

public:
    explicit TFrmLembretes(QWidget* parent = nullptr);
    ~TFrmLembretes() override;

    Panel* Panel1;
    Label* Label1;
    DBMemo* DBMemo1;
    Button* BitBtn2;
    Button* BitBtn1;
    Button* BitBtn3;
    DataSource* DataSource1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
};

// The alert while one exists.
extern TFrmLembretes* FrmLembretes;

// The due check of every minute: shows the alert, and brings the main window forward, when a
// reminder's moment has come.
void VerificarLembretes(TFrmAgenda& mainWindow);

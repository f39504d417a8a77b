#pragma once

#include "U_BaseChild.h"
#include "widgets/DBGrid.h"
#include "widgets/DbControls.h"

// The reminder register: a message, a date and a time for each reminder, and the list of
// them. It opens on the reminder that is due, when one is.
class TFrmCadLembretes : public TFrmBaseFilha
{
    Q_OBJECT

public:
    explicit TFrmCadLembretes(QWidget* parent = nullptr);

    Label* Label1;
    DBMemo* DBMemo1;
    GroupBox* GroupBox1;
    Label* Label2;
    DBEdit* DBEdit1;
    Label* Label3;
    DBEdit* DBEdit2;
    GroupBox* GroupBox2;
    DBGrid* DBGrid1;

protected:
    void FormShow() override;

private:
    void buildToolbar();
    void buildForm();
    void buildList();
    // Makes the reminder of that code current, else leaves the current one.
    void locate(qint64 code);

    bool centred_ = false; // on the screen, at the first show
};

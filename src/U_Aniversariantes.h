#pragma once

#include "db/DataSet.h"
#include "report/DBPipeline.h"
#include "report/Report.h"
#include "widgets/Controls.h"
#include "widgets/DBGrid.h"
#include "widgets/DataSource.h"

#include <QWidget>

class QDateTimeEdit;

// The contacts whose birthday falls in a chosen period, ordered by month and day, with the
// buttons that print them as a list or as address labels.
class TFrmAniversariantes : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    // What a print button asks for.
    enum class Impressao
    {
        Relacao,
        Etiquetas
    };
    Q_ENUM(Impressao)

    // Opens the birthday query at once with both bounds unset, which lists nobody; an error
    // of the database reaches the caller and no window is left.
    explicit TFrmAniversariantes(QWidget* parent = nullptr);
    ~TFrmAniversariantes() override;

    Panel* Panel1;
    DBGrid* DBGrid1;
    DataSource* DataSource1;
    GroupBox* GroupBox1;
    Label* Label1;
    QDateTimeEdit* DTDataInicio;
    Label* Label2;
    QDateTimeEdit* DTDataFim;
    Button* PNGButton1;
    Button* BRelacao;
    Button* BEtiquetas;
    Button* BitBtn3;
    DataSet Q_Relatorio;
    // The birthdays of the period last shown, and the report they print in.
    report::DBPipeline ppDBPipeline1;
    report::Report ppReport1;

    // Runs once the window and its components exist (see CreateForm).
    void FormCreate();

    void PNGButton1Click();
    void BRelacaoClick();
    void BEtiquetasClick();
    void BitBtn3Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Q_RelatorioCalcFields(DataSet& dataSet);
    // Shows the message when the list is empty; otherwise prints it.
    void imprimir(Impressao impressao);
    void centrar();

    bool centred_ = false;
};

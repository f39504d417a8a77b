#pragma once

#include "db/DataSet.h"
#include "widgets/Controls.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

class WebBrowser;

// The map window: the current contact and the company on an online map, in a page written
// beside the program for this opening and deleted when the window closes.
class TFrmMapa : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ windowTitle WRITE setWindowTitle)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    // Fails when the web browser's module cannot be loaded.
    explicit TFrmMapa(QWidget* parent = nullptr);

    Panel* Panel1;
    Button* BVerMundo;
    Button* BVerBrasil;
    Button* BImprimir;
    QLabel* ImgOuvinte;
    QLabel* ImgTarvo;
    Memo* MemoHTML;
    WebBrowser* WebBrowserMapa;
    QTimer* TimerInicio;
    DataSet IBQuerySQL;

    // The contact shown; 0 for none.
    qint64 CodigoContato = 0;
    QString ArqHTML;
    QString ArqMarca;
    QString ArqTarvo;
    // The map service's script loader, with the key the start-up file gives, if any.
    QString CarregadorAPI;

    void FormCreate();

    void BVerBrasilClick();
    void BVerMundoClick();
    void BImprimirClick();
    void TimerInicioTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormShow();
    void FormClose();
    // Runs one statement in the page, when there is one; a failure is swallowed.
    void ExecutarScript(const QString& code);

    bool shown_ = false;
};

// The map page for the markers, entry i of each list describing marker i; writes the two
// marker images beside it, ignoring a failure to. Values are escaped where the page puts
// them into its script, so no text can break the page.
QString GerarHTMLMapa(const TFrmMapa& window, const QStringList& enderecos,
                      const QStringList& informacoes, const QStringList& titulos);

// Escapes text for the inside of an information bubble, which takes HTML.
QString TextoHTML(const QString& text);

// Shows the map for the contact of that code, modally, until it is closed.
void MostrarMapa(qint64 codigoContato);

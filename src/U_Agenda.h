#pragma once

#include "AutomaticBackup.h"
#include "U_BaseChild.h"
#include "report/DBPipeline.h"
#include "report/Report.h"
#include "widgets/DBGrid.h"
#include "widgets/DbControls.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

// The main window: the contact register with its search, the tray icon and its menu, and the
// timers of the running program. Closing it only hides it; the tray menu's "Fechar" ends the
// program.
class TFrmAgenda : public TFrmBaseFilha
{
    Q_OBJECT

public:
    explicit TFrmAgenda(QWidget* parent = nullptr);
    ~TFrmAgenda() override;

    // The creation steps: tray icon, language list, language and translation.
    void FormCreate() override;

    // The tray's mouse events: 513 a left press, 516 a right press; others are ignored.
    void MensagemBandeja(int lParam);
    void CriarIconeBandeja();
    // The reminder timer's tick: the icon registered again, then the due check.
    void TLembretesTimer();

    Button* PNGOpcoes;
    Bevel* Bevel3;
    GroupBox* GroupBox4;
    DBEdit* DBNome;
    DBEdit* DBEdit9;
    DBEdit* DBEdit14;
    DBEdit* DBEdit6;
    DBEdit* DBEdit2;
    DBEdit* DBEdit3;
    DBEdit* DBEdit10;
    DBEdit* DBEdit4;
    DBComboBox* DBComboBox1;
    DBEdit* DBEdit5;
    DBEdit* DBEdit13;
    DBEdit* DBEdit8;
    DBEdit* DBEdit1;
    DBEdit* DBEdit7;
    DBMemo* DBMemo1;
    Button* BLocalizarMapa;
    DBGrid* DBGrid1;
    Label* LPesquisa;
    Edit* EdPesquisa;
    RadioGroup* RGLocalizar;
    Panel* PBanner;
    ComboBox* CBIdiomas;

    QMenu* PMImprimir;
    Action* RelaodeNomes1;
    Action* Etiquetas1;
    Action* ExportarvCard1;
    Action* ExportarCSV1;
    // The contacts as the grid holds them, and the report they print in.
    report::DBPipeline ppDBPipeline1;
    report::Report ppReport1;

    QMenu* PopupMenu1;
    Action* Lembretes1;
    Action* Aniversariantes1;
    Action* ImportarContatos1;
    Action* Maximizar1;
    Action* Minimizar1;
    Action* Copias1;
    Action* Opes1;
    Action* Fechar1;

    QTimer* TimerInicio;
    QTimer* TLembretes;
    QTimer* TimerPopup;
    QTimer* TimerPopupPrint;
    // The day's copy of the database, made in the background.
    AutomaticBackup* copiaAutomatica;

    QSystemTrayIcon* trayIcon() const { return trayIcon_; }
    // Whether the show step has opened the birthday window in this run.
    bool birthdayWindowShown() const { return birthdayWindowShown_; }

protected:
    void FormShow() override;
    bool FormClose() override;
    void FormKeyDown(QKeyEvent* event, bool& handled) override;
    void BImprimirClick() override;
    // Files of contacts dropped on the window are imported as the tray menu's item imports.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildToolbar();
    void buildContactForm();
    void buildSearchPanel();
    void buildMenus();
    void buildTimers();

    void EdPesquisaChange();
    // Settles the row being edited before a search: true when the search may run.
    bool settleEditBeforeSearch();
    void restoreSearch();
    void TimerInicioTimer();
    void TimerPopupTimer();
    void TimerPopupPrintTimer();
    void BLocalizarMapaClick();
    void RelaodeNomes1Click();
    void Etiquetas1Click();
    // Prints the contacts with the template, unless there are none.
    void imprimir(const QString& modelo);
    void Aniversariantes1Click();
    void ImportarContatos1Click();
    void Opes1Click();
    void Maximizar1Click();
    void Minimizar1Click();
    void Fechar1Click();

    const QIcon icon_; // "MAINICON", drawn once: the tray re-registers it every minute
    QSystemTrayIcon* trayIcon_;
    bool birthdayWindowShown_ = false;
    bool centred_ = false; // on the screen, at the first show
    bool insideShowStep_ = false;
    bool hideAfterShowStep_ = false;
    // The search as it last ran, to return to when the person keeps editing instead.
    QString searchedText_;
    int searchedColumn_ = 0;
    bool restoringSearch_ = false;
};

// The main window, while it exists.
extern TFrmAgenda* FrmAgenda;

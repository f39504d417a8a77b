#pragma once

#include "U_FormBase.h"
#include "U_Mensagens.h"

#include <QMap>

// The record window: TFrmBase with the record toolbar and the key-hint status bar, the
// toolbar and field area enabled from the data set's state, the save question on close, the
// delete question, and F6 reaching the print button.
class TFrmBaseFilha : public TFrmBase
{
    Q_OBJECT

public:
    explicit TFrmBaseFilha(QWidget* parent = nullptr);

    Panel* Panel1;
    Button* BNovo;
    Button* BGravar;
    Button* BAlterar;
    Button* BCancelar;
    Button* BExcluir;
    Button* BImprimir;
    Bevel* Bevel1;
    Button* BPrimeiro;
    Button* BAnterior;
    Button* BProximo;
    Button* BUltimo;
    Bevel* Bevel2;
    Button* BSair;
    StatusBar* StatusBar1;

protected:
    void FormShow() override;
    bool FormClose() override;
    void FormKeyDown(QKeyEvent* event, bool& handled) override;
    void ActionList1Execute(Action* action, bool& handled) override;
    virtual void DataSource1StateChange();
    // The print button's handler, given by the derived window.
    virtual void BImprimirClick() {}

    // The save question for the row being edited: Yes saves it, No drops it. Returns the
    // answer; Cancel also when the save failed, which is reported.
    RespostaSalvar askToSaveEdit();
    // The first control of PFundo in tab order, so that typing goes into the row at once.
    void focusFirstFieldControl();
    // A toolbar control at its designed left edge and width.
    struct ToolbarPlace
    {
        QWidget* widget;
        int left;
        int width;
    };
    // Puts the toolbar's controls at their designed places, in place of its layout.
    void placeToolbar(std::initializer_list<ToolbarPlace> places);
    // Lays out the toolbar, PFundo of the given height, PBusca below and the status bar.
    void arrangeRegions(int fieldAreaHeight);

private:
    Button* linkedButton(const QString& name, Action* action);
    void updateActions();
    void stateChanged();

    QMap<Action*, Button*> buttonOf_;
    QMap<Action*, bool> applied_; // each action's applicability when last brought up to date
    bool wasEditing_ = false;
};

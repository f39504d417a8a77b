#pragma once

#include "U_BaseChild.h"
#include "widgets/DbControls.h"

// The options window: the skin, the language of the interface, start with the desktop session
// and start hidden. It edits the single configuration row; a language picked here speaks at
// once in every window, a skin takes effect when the row is saved.
class TFrmOpcoes : public TFrmBaseFilha
{
    Q_OBJECT

public:
    explicit TFrmOpcoes(QWidget* parent = nullptr);

    GroupBox* GroupBox1;
    Label* Label54;
    ComboBox* cbSkin;
    Label* ImageSkin;
    Label* Label1;
    ComboBox* CBIdiomas;
    DBCheckBox* DBCheckBox1;
    DBCheckBox* DBCheckBox2;

    void FormCreate() override;
    bool actionApplies(const Action* action) const override;

    // Fills the list with the names of the skin files (".skn") of the folder, sorted.
    static void ListarSkins(const QString& folder, ComboBox* list);

protected:
    void FormShow() override;

private:
    void buildToolbar();
    void buildSettings();

    void cbSkinSelect();
    void cbSkinChange();
    void CBIdiomasSelect();

    // Puts the configuration row into edit, as every choice here does first.
    void editConfiguration();
    // The skin's preview picture, when it has one; the last one stays otherwise.
    void showPreview(const QString& skin);
};

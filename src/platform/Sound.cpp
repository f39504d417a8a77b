#include "platform/Sound.h"

#include <QApplication>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace Sound {
namespace {

Player& player()
{
    static Player current;
    return current;
}

void playFile(const QString& file)
{
    if (!QFileInfo(file).isReadable()) {
        QApplication::beep();
        return;
    }
    // One effect for the whole run: it must outlive the call to be heard.
    static QSoundEffect* effect = new QSoundEffect(qApp);
    effect->setSource(QUrl::fromLocalFile(file));
    effect->play();
}

} // namespace

void play(const QString& file)
{
    if (player())
        player()(file);
    else
        playFile(file);
}

void setPlayer(Player recorder)
{
    player() = std::move(recorder);
}

} // namespace Sound

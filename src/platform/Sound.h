#pragma once

#include <QString>

#include <functional>

// Plays a sound file once, asynchronously: the call returns at once. A file that is missing or
// cannot be read plays the system's default sound; without a sound device nothing is heard and
// nothing is reported.
namespace Sound {

void play(const QString& file);

// Where play() sends its files; tests put a recorder here. Empty: the real player.
using Player = std::function<void(const QString& file)>;
void setPlayer(Player player);

} // namespace Sound

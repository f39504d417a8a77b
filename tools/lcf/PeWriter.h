#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

enum class PeMachine
{
    I386,
    Amd64
};

// A resource-only library (PE32 for i386, PE32+ for amd64) that holds each entry of resources
// as an RT_RCDATA resource of that name, language neutral. It has no code and no entry point,
// and carries a correct checksum. Names are written as given; the platform's lookup finds
// only upper-case ones.
QByteArray writeResourceLibrary(const QMap<QString, QByteArray>& resources, PeMachine machine);

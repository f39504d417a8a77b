#include "widgets/SkinEngine.h"

#include "platform/CodePage.h"

#include <QApplication>
#include <QFile>

void SkinEngine::activate()
{
    QFile file(skinFile_);
    const QString sheet =
        file.open(QIODevice::ReadOnly) ? CodePage::fromWin1252(file.readAll()) : QString();
    qApp->setStyleSheet(sheet);
    active_ = true;
}

void SkinEngine::deactivate()
{
    qApp->setStyleSheet(QString());
    active_ = false;
}

#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// Answers the print previews a test opens as a person would: saves each as a PDF through the
// preview's own action and file dialog, when given file names, then closes it.
class PreviewWatcher : public QObject
{
    Q_OBJECT

public:
    PreviewWatcher();

    // Where the next previews are saved, in order; a preview beyond them is only closed.
    void saveAs(const QStringList& fileNames) { fileNames_ = fileNames; }
    // How many previews were opened so far.
    int previews() const { return previews_; }

private:
    void answer();

    QTimer timer_;
    QStringList fileNames_;
    QString pending_; // the file a file dialog is being answered with
    int previews_ = 0;
    bool busy_ = false;
};

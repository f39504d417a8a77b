#include "PreviewWatcher.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPrintPreviewDialog>

PreviewWatcher::PreviewWatcher()
{
    connect(&timer_, &QTimer::timeout, this, &PreviewWatcher::answer);
    timer_.start(20);
}

void PreviewWatcher::answer()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* files = qobject_cast<QFileDialog*>(modal); files && files->isVisible()) {
        // Typed into the name box, as a person does: the name the dialog suggested is replaced.
        if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(pending_);
        QMetaObject::invokeMethod(files, "accept");
        return;
    }
    auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
    if (busy_ || !preview || !preview->isVisible())
        return;
    busy_ = true;
    ++previews_;
    // Answered outside this timer's tick, which does not come again while it runs: the file
    // dialog the save opens needs the next ticks.
    QTimer::singleShot(0, this, [this, preview = QPointer<QPrintPreviewDialog>(preview)] {
        if (preview && !fileNames_.isEmpty()) {
            pending_ = fileNames_.takeFirst();
            if (auto* save = preview->findChild<QAction*>(QStringLiteral("savePdf")))
                save->trigger();
        }
        if (preview)
            preview->reject();
        busy_ = false;
    });
}

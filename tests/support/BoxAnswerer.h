#pragma once

#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// Answers the message boxes a test provokes: whenever a box is the active modal window, it
// notes what the box shows and presses the button of the given role or standard button.
class BoxAnswerer : public QObject
{
    Q_OBJECT

public:
    struct Box
    {
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QStringList buttonTexts;
        QString parentName; // the object name of the window the box belongs to
    };

    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok);
    void setAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }

    // The boxes shown so far, in order.
    const QList<Box>& boxes() const { return boxes_; }

private:
    void answerActiveBox();

    QMessageBox::StandardButton answer_;
    QList<Box> boxes_;
    QTimer timer_;
};

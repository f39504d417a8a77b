#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh agenda database in a temporary folder, removed with the folder.
class TempDatabase
{
public:
    TempDatabase();

    bool isValid() const { return !path_.isEmpty(); }
    QString path() const { return path_; }
    QString folder() const { return dir_.path(); }
    // The message of the failure when the database could not be created.
    QString error() const { return error_; }

private:
    QTemporaryDir dir_;
    QString path_;
    QString error_;
};

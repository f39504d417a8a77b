#pragma once

#include <QString>

#include <stdexcept>

// The program's errors. Each carries the text a user reads: the system's or the database's
// own message. Everything that fails throws one of these up to the handler that started the
// work.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message)
    {
    }

    QString message() const { return message_; }

private:
    QString message_;
};

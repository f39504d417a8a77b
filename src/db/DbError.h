#pragma once

#include <QString>

#include <stdexcept>

// An error of the database layer. It carries the database's own message text and, when it
// came from the server or the engine, the first error code of the status vector, so a
// caller can tell a lock conflict from a missing file.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString& message, long code = 0);

    QString message() const { return message_; }
    long code() const { return code_; }

private:
    QString message_;
    long code_;
};

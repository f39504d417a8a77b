#pragma once

#include "platform/Error.h"

// An error of the database layer. Besides the database's own message text it carries, when it
// came from the server or the engine, the first error code of the status vector, so a caller
// can tell a lock conflict from a missing file.
class DbError : public Error
{
public:
    explicit DbError(const QString& message, long code = 0) : Error(message), code_(code) {}

    long code() const { return code_; }

private:
    long code_;
};

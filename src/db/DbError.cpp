#include "db/DbError.h"

DbError::DbError(const QString& message, long code)
    : std::runtime_error(message.toStdString()), message_(message), code_(code)
{
}

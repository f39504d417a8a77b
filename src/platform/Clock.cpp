#include "platform/Clock.h"

namespace Clock {
namespace {

std::optional<QDateTime>& fixed()
{
    static std::optional<QDateTime> moment;
    return moment;
}

} // namespace

QDateTime now()
{
    return fixed().value_or(QDateTime::currentDateTime());
}

void setNow(std::optional<QDateTime> moment)
{
    fixed() = std::move(moment);
}

} // namespace Clock

#pragma once

#include <QDateTime>

#include <optional>

// The current local date and time for the program's checks; tests set it, so none waits for
// a real minute.
namespace Clock {

QDateTime now();
// A fixed moment in place of the real one; nothing returns to the real clock.
void setNow(std::optional<QDateTime> moment);

} // namespace Clock

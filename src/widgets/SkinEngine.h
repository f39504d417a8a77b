#pragma once

#include <QString>

// Paints the application with a skin: a skin file is a Qt style sheet applied to the whole
// application.
class SkinEngine
{
public:
    QString skinFile() const { return skinFile_; }
    void setSkinFile(const QString& path) { skinFile_ = path; }

    // Reads the skin file and applies it, also when a skin is already active; a file that
    // cannot be read applies an empty sheet.
    void activate();
    // Back to the standard look.
    void deactivate();
    bool isActive() const { return active_; }

private:
    QString skinFile_;
    bool active_ = false;
};

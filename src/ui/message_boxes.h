// The message boxes of the windows (error, warning, information, confirmation), and a guard that
// turns a failure of a database call into an error box so that no exception reaches the event loop.
#pragma once

#include <QString>

#include <exception>
#include <string>

class QWidget;

void showError(QWidget* parent, const QString& text);
void showWarning(QWidget* parent, const QString& text);
void showInformation(QWidget* parent, const QString& text);
// True only when the user answers Yes.
bool confirm(QWidget* parent, const QString& text);

inline QString qstr(const std::string& text) {
    return QString::fromStdString(text);
}

// Runs the action; a failure shows its message ("SQLite3 error: ..." for the databases) in an error
// box and gives false.
template <class Action> bool guarded(QWidget* parent, Action&& action) {
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        showError(parent, QString::fromUtf8(e.what()));
    }
    return false;
}

// A confirmation with Yes, No and Cancel; true only when the user answers Yes.
bool confirmYesNoCancel(QWidget* parent, const QString& text);

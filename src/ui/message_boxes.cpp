// Modal message boxes.
#include "ui/message_boxes.h"

#include <QMessageBox>

namespace {
int show(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text,
         QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    return box.exec();
}
} // namespace

void showError(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::Ok);
}

void showWarning(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::Ok);
}

void showInformation(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok);
}

bool confirm(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool confirmYesNoCancel(QWidget* parent, const QString& text) {
    return show(parent, QMessageBox::Question, QStringLiteral("Confirm"), text,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) == QMessageBox::Yes;
}

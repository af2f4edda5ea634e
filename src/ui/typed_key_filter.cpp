// Typed-character filters of the anode-curves and tube-models windows.
#include "ui/typed_key_filter.h"

#include <QKeyEvent>
#include <QLocale>
#include <QWidget>

QChar userDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? point.at(0) : QLatin1Char('.');
}

QString numberKeySet(QChar decimalSeparator, const QString& extra) {
    return QStringLiteral("0123456789") + decimalSeparator + extra;
}

TTypedKeyFilter::TTypedKeyFilter(QString accepted, bool acceptAll, QObject* parent)
    : QObject(parent), accepted_(std::move(accepted)), acceptAll_(acceptAll) {}

bool TTypedKeyFilter::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false; // shortcuts: copy, paste, undo ...
    if (key->key() == Qt::Key_Backspace) {
        emit judged(true);
        return false;
    }
    const QString typed = key->text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7F)
        return false;
    bool ok = acceptAll_;
    if (!ok) {
        ok = true;
        for (const QChar c : typed)
            ok = ok && accepted_.contains(c);
    }
    emit judged(ok);
    return !ok;
}

TTypedKeyFilter* installTypedKeyFilter(QWidget* box, const QString& accepted, bool acceptAll) {
    auto* filter = new TTypedKeyFilter(accepted, acceptAll, box);
    box->installEventFilter(filter);
    return filter;
}

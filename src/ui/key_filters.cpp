// Accepted characters of the number boxes.
#include "ui/key_filters.h"

#include "circuits/catalogue.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

// A key whose text is empty or made of control characters is not a character of the box.
bool isCharacter(const QString& typed) {
    if (typed.isEmpty())
        return false;
    for (const QChar c : typed)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

bool sheetKeyAccepted(const QString& typed, bool negativeAllowed, QChar decimalSeparator) {
    if (!isCharacter(typed))
        return true;
    if (typed.size() != 1)
        return false;
    const QChar c = typed.at(0);
    if (c == QLatin1Char('-'))
        return negativeAllowed;
    return isDigit(c) || c == decimalSeparator || QStringLiteral("Mkmnp\u00b5").contains(c);
}

QString kzaKeyText(const QString& typed, QChar decimalSeparator) {
    if (typed.size() != 1)
        return {};
    const QChar c = typed.at(0);
    if (c == QLatin1Char(',') || c == QLatin1Char('.') || c == decimalSeparator)
        return QString(decimalSeparator);
    if (isDigit(c) || c == QLatin1Char('-'))
        return typed;
    return {};
}

bool rcKeyAccepted(const QString& typed) {
    if (!isCharacter(typed))
        return true;
    if (typed.size() != 1)
        return false;
    const QChar c = typed.at(0);
    return isDigit(c) || QStringLiteral("-.Ee").contains(c);
}

bool fieldAcceptsNegative(int circuit, const std::string& fieldName) {
    if (circuit < 1 || circuit > kCircuitCount)
        return false;
    return fieldTakesNegative(circuitInfo(circuit), fieldName);
}

TKeyFilter::TKeyFilter(KeyFilterKind kind, QChar decimalSeparator, QObject* parent)
    : QObject(parent), kind_(kind), separator_(decimalSeparator) {}

bool TKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    if (!isCharacter(typed) || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    switch (kind_) {
    case KeyFilterKind::Sheet:
        return !sheetKeyAccepted(typed, false, separator_);
    case KeyFilterKind::SheetNegative:
        return !sheetKeyAccepted(typed, true, separator_);
    case KeyFilterKind::Rc:
        return !rcKeyAccepted(typed);
    case KeyFilterKind::Kza: {
        const QString text = kzaKeyText(typed, separator_);
        if (text == typed)
            return false;
        if (!text.isEmpty())
            if (auto* box = qobject_cast<QLineEdit*>(watched))
                box->insert(text);
        return true;
    }
    }
    return false;
}

void installKeyFilter(QLineEdit* box, KeyFilterKind kind, QChar decimalSeparator) {
    box->installEventFilter(new TKeyFilter(kind, decimalSeparator, box));
}

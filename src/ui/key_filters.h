// Key filters of the number boxes: the sheet's value boxes, the kza / kzb boxes of the advanced
// power parameters and the boxes of the RC calculator. Typed characters outside a box's set are
// dropped; editing and control keys (backspace, Enter, Tab, arrows, shortcuts) always pass.
#pragma once

#include <QChar>
#include <QObject>
#include <QString>

#include <string>

class QLineEdit;

// True for the sheet's value boxes: digits, "M", "k", "m", "n", "p", "µ", the decimal separator,
// and "-" only in a box that takes negative values.
bool sheetKeyAccepted(const QString& typed, bool negativeAllowed, QChar decimalSeparator);
// kza / kzb: the text a typed character enters ("," and "." become the decimal separator), or an
// empty string when the character is dropped. Digits, "-" and the separator are taken.
QString kzaKeyText(const QString& typed, QChar decimalSeparator);
// RC calculator: digits, "-", ".", "E" and "e".
bool rcKeyAccepted(const QString& typed);

// Sheet fields that take a negative value, as the circuit's descriptor lists them (the grid bias of
// the power stages); validation refuses a negative value in every other field by the same list.
bool fieldAcceptsNegative(int circuit, const std::string& fieldName);

enum class KeyFilterKind { Sheet, SheetNegative, Kza, Rc };

// Filters the typed characters of one box.
class TKeyFilter : public QObject {
    Q_OBJECT
public:
    TKeyFilter(KeyFilterKind kind, QChar decimalSeparator, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilterKind kind_;
    QChar separator_;
};

// Installs a filter of that kind on the box (the filter belongs to the box).
void installKeyFilter(QLineEdit* box, KeyFilterKind kind, QChar decimalSeparator);

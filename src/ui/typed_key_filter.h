// A key filter for the boxes of the anode-curves and tube-models windows: typed characters outside a
// box's set are dropped, and each typed key is judged aloud (the models window enables its store
// button on an accepted key and disables it on a refused one).
#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The user's decimal separator (one ASCII character, else '.').
QChar userDecimalSeparator();
// Digits and the decimal separator, with the extra characters given ("-", "Ee").
QString numberKeySet(QChar decimalSeparator, const QString& extra = {});

class TTypedKeyFilter : public QObject {
    Q_OBJECT
public:
    // accepted: the characters the box takes; every character when acceptAll is set. Backspace is
    // always taken; keys that type nothing (arrows, Tab, Delete, shortcuts) pass unjudged.
    TTypedKeyFilter(QString accepted, bool acceptAll, QObject* parent);
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // After each typed character or backspace: whether the box takes it.
    void judged(bool accepted);

private:
    QString accepted_;
    bool acceptAll_;
};

// Installs a filter on the box (the filter belongs to the box) and returns it.
TTypedKeyFilter* installTypedKeyFilter(QWidget* box, const QString& accepted, bool acceptAll = false);

// TCircuitDescription (MemoCircuit): the library's description display: a circuit's description text
// from the packaged descriptions, and below it the circuit's schematic from the packaged stream, fitted to
// the display's width. The picture goes straight into the document: the clipboard is left alone.
#pragma once

#include "ui/markup_display.h"

class PictureStream;

class TCircuitDescription : public TDisplayMiniHTML {
    Q_OBJECT
public:
    explicit TCircuitDescription(QWidget* parent = nullptr);

    // The schematics stream kept by the main window (may be null: no picture).
    void setSchematics(const PictureStream* stream) { schematics_ = stream; }

    // Image6MouseEnter: the description of circuit n, an empty line, then its schematic; with a
    // configuration, its comment after them in the class "info". Scrolled to the top.
    void showCircuit(int n, const QString& comment = {}, bool withComment = false);
    int shownCircuit() const { return shown_; }
    // Whether the schematic is in the document, and the logical width it is shown at.
    bool showsPicture() const { return pictureWidth_ > 0; }
    int pictureWidth() const { return pictureWidth_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void insertSchematic(int n);

    const PictureStream* schematics_ = nullptr;
    int shown_ = 0;
    QString comment_;
    bool withComment_ = false;
    int pictureWidth_ = 0;
    int laidOutWidth_ = 0;
};

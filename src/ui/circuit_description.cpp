// The description display: markup text, the schematic as a document image, a refit on resize.
#include "ui/circuit_description.h"

#include "markup/css_classes.h"
#include "plots/schematic_thumbnail.h"
#include "storage/packaged_files.h"
#include "storage/picture_stream.h"
#include "ui/ui_fonts.h"

#include <QScrollBar>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

TCircuitDescription::TCircuitDescription(QWidget* parent) : TDisplayMiniHTML(parent) {
    setObjectName(QStringLiteral("MemoCircuit"));
    setFont(uiFont(10));
    setLineWrapMode(QTextEdit::WidgetWidth);
    setFrameShape(QFrame::NoFrame);
    setClassesCSS(classesFor(MarkupDisplay::CircuitDescription));
    document()->setDocumentMargin(10);
}

void TCircuitDescription::showCircuit(int n, const QString& comment, bool withComment) {
    shown_ = n;
    comment_ = comment;
    withComment_ = withComment;
    pictureWidth_ = 0;
    setUpdatesEnabled(false);
    show();
    clearDisplay();
    const PackagedText description = readCircuitDescription(n);
    if (description.ok)
        AddString(description.text);
    else // told here rather than in a box: the mouse passing over the gallery would raise one each time
        AddString("<css=error>" + description.error + "</css>");
    AddString("\r\n\r\n");
    insertSchematic(n);
    if (withComment) {
        // The user's own text: a "<" in it would start a tag and swallow the rest.
        QString text = comment;
        text.replace(QLatin1Char('<'), QChar(0x2039)).replace(QLatin1Char('>'), QChar(0x203A));
        AddString("\r\n<css=info>" + text.toStdString() + "</css>");
    }
    verticalScrollBar()->setValue(0);
    setUpdatesEnabled(true);
    laidOutWidth_ = width();
}

void TCircuitDescription::insertSchematic(int n) {
    if (!schematics_)
        return;
    const QImage picture = schematics_->picture(n, "PNG");
    if (picture.isNull())
        return;
    // At the size it was drawn for, narrowed to the display's width, resampled once for the screen.
    const double drawnFor = pictureScale(picture);
    const QSizeF natural(picture.width() / drawnFor, picture.height() / drawnFor);
    const double room = std::max(120.0, width() - 2 * document()->documentMargin() - 2 * frameWidth() -
                                            style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 6);
    const double fit = std::min(1.0, room / natural.width());
    const QSize logical(qRound(natural.width() * fit), qRound(natural.height() * fit));
    const double screen = devicePixelRatioF();
    QImage shown = picture.scaled(logical * screen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(screen);
    const QUrl name(QStringLiteral("valvenix://schematic/%1").arg(n));
    document()->addResource(QTextDocument::ImageResource, name, shown);
    QTextImageFormat image;
    image.setName(name.toString());
    image.setWidth(logical.width());
    image.setHeight(logical.height());
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertImage(image);
    pictureWidth_ = logical.width();
}

void TCircuitDescription::resizeEvent(QResizeEvent* event) {
    TDisplayMiniHTML::resizeEvent(event);
    if (shown_ > 0 && width() != laidOutWidth_) {
        const int scroll = verticalScrollBar()->value();
        showCircuit(shown_, comment_, withComment_);
        verticalScrollBar()->setValue(scroll);
    }
}

// Rendering of markup runs into the rich-text document.
#include "ui/markup_display.h"

#include <QTextCharFormat>
#include <QTextCursor>

TDisplayMiniHTML::TDisplayMiniHTML(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
    setAcceptRichText(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

bool TDisplayMiniHTML::AddClasseCSS(const std::string& name, const TFontCSS& font) {
    return parser_.classes().AddClasseCSS(name, font);
}

void TDisplayMiniHTML::setClassesCSS(const TClassesCSS& classes) {
    parser_.classes() = classes;
}

void TDisplayMiniHTML::insertRun(const TextRun& run) {
    const TextAttributes& a = run.attributes;
    QTextCharFormat format;
    const QFont base = font();
    format.setFontFamilies({a.face.empty() ? base.family() : QString::fromStdString(a.face)});
    format.setFontPointSize(a.size > 0 ? a.size : base.pointSizeF());
    format.setFontWeight(a.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(a.italic());
    format.setFontUnderline((a.style & fsUnderline) != 0);
    format.setFontStrikeOut((a.style & fsStrikeOut) != 0);
    if (a.color) {
        const std::uint32_t c = *a.color;
        format.setForeground(QColor((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    } else {
        format.setForeground(palette().color(QPalette::Text));
    }
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString::fromStdString(run.text), format);
}

void TDisplayMiniHTML::AddString(const std::string& markup) {
    for (const TextRun& run : parser_.addString(markup))
        insertRun(run);
}

void TDisplayMiniHTML::AddLinePlain(const std::string& text) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock();
    QTextCharFormat format;
    format.setFont(font());
    format.setForeground(palette().color(QPalette::Text));
    cursor.insertText(QString::fromStdString(text), format);
}

void TDisplayMiniHTML::clearDisplay() {
    clear();
    parser_.clear();
}

std::string TDisplayMiniHTML::plainText() const {
    return toPlainText().toStdString();
}

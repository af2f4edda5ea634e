// TDisplayMiniHTML: a read-only rich-text display that renders report markup (bold, italic, colour,
// named text classes, "<br>") with the runs of the markup parser, and gives its plain text.
#pragma once

#include "markup/css_classes.h"
#include "markup/markup.h"

#include <QTextEdit>

#include <string>

class TDisplayMiniHTML : public QTextEdit {
    Q_OBJECT
public:
    explicit TDisplayMiniHTML(QWidget* parent = nullptr);

    // The text classes of this display. A name already defined is refused (false).
    bool AddClasseCSS(const std::string& name, const TFontCSS& font);
    void setClassesCSS(const TClassesCSS& classes);
    const TClassesCSS& ClassesCSS() const { return parser_.classes(); }

    // Renders a markup string at the end; the attributes in force at its end carry over to the next.
    void AddString(const std::string& markup);
    // Appends one line as it stands, without markup.
    void AddLinePlain(const std::string& text);
    // Empties the display and returns to the default attributes.
    void clearDisplay();

    // The text shown, lines separated by "\n".
    std::string plainText() const;

private:
    void insertRun(const TextRun& run);

    MarkupParser parser_;
};

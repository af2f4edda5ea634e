// Building the three packaged picture streams and the user manual.
#pragma once

#include <QString>

// Writes "stream-schemas.bin", "stream-miniatures.bin" and "stream-ec86.bin" into folder.
// Returns an error text, empty on success.
QString writeStreams(const QString& folder);

// Turns the Markdown chapters of markdownFolder (*.md in name order) into a PDF; images named in
// them are looked up in figuresFolder. Returns an error text, empty on success.
QString writeManual(const QString& markdownFolder, const QString& figuresFolder, const QString& pdfFile);

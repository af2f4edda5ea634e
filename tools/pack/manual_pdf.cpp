// The user manual: Markdown chapters laid out by QTextDocument on A4 pages of a QPdfWriter, each
// chapter on a new page, figures scaled to the text width, page numbers in the footer.
#include "streams.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <vector>

namespace {
constexpr double kDpi = 300.0;
constexpr double kScreenDpi = 96.0;

// Every image of the text, loaded from the figures folder and sized to fit the text width.
QString placeImages(QTextDocument& doc, const QDir& figures, double textWidth) {
    struct Image {
        int position;
        int length;
        QTextImageFormat format;
    };
    std::vector<Image> images;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isImageFormat())
                images.push_back(
                    {fragment.position(), fragment.length(), fragment.charFormat().toImageFormat()});
        }
    for (Image& image : images) {
        const QString name = image.format.name();
        const QImage picture(figures.filePath(name));
        if (picture.isNull())
            return "figure not found: " + figures.filePath(name);
        doc.addResource(QTextDocument::ImageResource, QUrl(name), picture);
        // Image sizes are in pixels at 96 dpi, which the layout scales to the printer's resolution.
        // Figures drawn at 100 % take about their screen size on paper, never more than the text width.
        const double width = std::min(textWidth * kScreenDpi / kDpi, picture.width() * 0.8);
        image.format.setWidth(width);
        image.format.setHeight(width * picture.height() / picture.width());
        QTextCursor cursor(&doc);
        cursor.setPosition(image.position);
        cursor.setPosition(image.position + image.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(image.format);
    }
    return {};
}

// Chapters start on a new page; headings take the program's report colour.
void styleHeadings(QTextDocument& doc) {
    bool first = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level == 0)
            continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        if (level == 1 && !first)
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        format.setTopMargin(level == 1 ? 0 : format.topMargin() * 1.4);
        cursor.setBlockFormat(format);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat chars;
        chars.setForeground(QColor(level == 1 ? 0x70 : 0x99, 0x10, 0x10));
        cursor.mergeCharFormat(chars);
        first = false;
    }
}
} // namespace

QString writeManual(const QString& markdownFolder, const QString& figuresFolder, const QString& pdfFile) {
    const QDir chapters(markdownFolder);
    const QStringList files = chapters.entryList({"*.md"}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        return "no chapter (*.md) in " + markdownFolder;
    QString markdown;
    for (const QString& name : files) {
        QFile file(chapters.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return "cannot read " + file.fileName();
        markdown += QString::fromUtf8(file.readAll()) + "\n\n";
    }

    QPdfWriter writer(pdfFile);
    writer.setResolution(static_cast<int>(kDpi));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(22, 20, 22, 14), QPageLayout::Millimeter);
    writer.setTitle("Valvenix User Manual");
    writer.setCreator("valvenix-pack");
    const QRectF page = writer.pageLayout().paintRectPixels(static_cast<int>(kDpi));
    const double footer = kDpi * 0.45; // room for the page number below the text

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    QFont body("Noto Sans");
    body.setPointSizeF(10);
    doc.setDefaultFont(body);
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    styleHeadings(doc);
    const QString error = placeImages(doc, QDir(figuresFolder), page.width());
    if (!error.isEmpty())
        return error;
    // Pages are laid out once the text is final.
    doc.setPageSize(QSizeF(page.width(), page.height() - footer));

    QPainter painter;
    if (!painter.begin(&writer))
        return "cannot write " + pdfFile;
    const double pageHeight = doc.pageSize().height();
    const int pages = doc.pageCount();
    QFont small("Noto Sans");
    small.setPointSizeF(8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -i * pageHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * pageHeight, page.width(), pageHeight);
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        if (i > 0) {
            painter.setFont(small);
            painter.setPen(QColor(0x70, 0x70, 0x70));
            painter.drawText(QRectF(0, pageHeight, page.width(), footer), Qt::AlignRight | Qt::AlignBottom,
                             QString("Valvenix User Manual — %1").arg(i + 1));
        }
    }
    painter.end();
    return {};
}

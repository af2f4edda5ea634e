// Drawing of the column headings of an automatically laid out sheet.
#include "plots/sheet_columns_plot.h"

#include "plots/plot_style.h"

#include <QFont>
#include <QPainter>

QImage drawSheetColumns(QSize size, const std::vector<SheetColumnText>& texts) {
    QImage image = plotCanvas(size, Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font("Noto Sans");
    font.setPixelSize(kSheetTextPixels);
    for (const SheetColumnText& t : texts) {
        font.setBold(t.heading);
        p.setFont(font);
        p.setPen(t.heading ? QColor(0x50, 0x50, 0x50) : QColor(0x30, 0x30, 0x30));
        p.drawText(t.at, QString::fromStdString(t.text));
        if (t.heading && t.ruleWidth > 0) {
            p.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 1));
            p.drawLine(QPointF(t.at.x(), t.at.y() + 4.5), QPointF(t.at.x() + t.ruleWidth, t.at.y() + 4.5));
        }
    }
    p.end();
    return image;
}

// Drawing of the voltage-stack bars.
#include "plots/stack_bars.h"

#include "plots/plot_style.h"
#include "util/format.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

std::vector<StackBar> stackBarGeometry(const TVoltageStacks& stack, int column, int T, double Vb) {
    std::vector<StackBar> bars;
    const double x0 = 70.0 * (column - 1);
    double y = 35;
    for (const auto& item : stack.Items) {
        // Without a positive supply there is no scale: the bars have no height but keep their texts.
        // A negative voltage (a failed solve) draws its bar upwards, so that a stack adding up to
        // the supply still ends at the bottom margin.
        double h = Vb > 0 ? std::nearbyint((T - 70) * item.valeur / Vb) : 0.0;
        if (!std::isfinite(h))
            h = 0;
        h = std::clamp(h, -1e6, 1e6); // far past the edges already
        StackBar bar;
        bar.rect = QRectF(x0, y, 12, h);
        bar.colour = item.color;
        if (!item.nom.empty())
            bar.text = strFormat("%s %.0fV", item.nom.c_str(), item.valeur);
        bar.textAt = QPointF(x0 + 13.2, y + h / 2 + 4);
        bars.push_back(bar);
        y += h;
    }
    return bars;
}

QImage drawStackBars(const std::vector<TVoltageStacks>& columns, int height, double Vb, double scale) {
    const int k = static_cast<int>(columns.size());
    // 70 pixels a column; the last column's texts may need a little more room than that.
    double width = 70.0 * std::max(1, k);
    if (k > 0) {
        const QFontMetricsF fm(plotMonoFont(scale));
        for (const auto& bar : stackBarGeometry(columns.back(), k, height, Vb))
            width =
                std::max(width, bar.textAt.x() + fm.horizontalAdvance(QString::fromStdString(bar.text)) + 2);
    }
    QImage image = plotCanvas(QSize(static_cast<int>(std::ceil(width)), height));
    QPainter p;
    beginPlot(p, image, scale);
    for (int c = 0; c < k; ++c) {
        for (const auto& bar : stackBarGeometry(columns[c], c + 1, height, Vb)) {
            p.fillRect(bar.rect.normalized(), argbColour(bar.colour));
            if (!bar.text.empty()) {
                p.setPen(Qt::black);
                drawTextAt(p, bar.textAt.x(), bar.textAt.y(), bar.text, TextAlign::Left);
            }
        }
    }
    p.end();
    return image;
}

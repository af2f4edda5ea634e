// valvenix-cli schematic C<n> [--png FILE] [--svg FILE] [--scale S]: a circuit's schematic with its
// sheet controls drawn as on first opening, as a PNG picture and/or an SVG drawing.
#include "cli.h"

#include "circuits/catalogue.h"
#include "circuits/schematic.h"
#include "plots/schematic_plot.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include <cmath>
#include <stdexcept>

namespace cli {

namespace {

constexpr double kMinScale = 0.25;
constexpr double kMaxScale = 8;

int circuitNumber(const std::string& word) {
    const std::string digits = word.size() > 1 && (word[0] == 'C' || word[0] == 'c') ? word.substr(1) : "";
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9' || n > kCircuitCount)
            return 0;
        n = n * 10 + (c - '0');
    }
    return digits.empty() || n > kCircuitCount ? 0 : n;
}

void writeSvg(const Schematic& s, double scale, const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path);
    const QSize size(static_cast<int>(std::ceil(s.width * scale)),
                     static_cast<int>(std::ceil(s.height * scale)));
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    svg.setTitle(QString::fromStdString(circuitInfo(s.circuit).code + " " + circuitInfo(s.circuit).title));
    svg.setDescription("Valvenix schematic");
    QPainter painter(&svg);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.scale(scale, scale);
    paintSchematic(painter, s, SchematicControls::Drawn, nullptr);
    painter.end();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

int runSchematic(const std::vector<std::string>& words) {
    Args args(words, {"--png", "--svg", "--scale"}, {});
    if (args.positional().size() != 1)
        throw UsageError("schematic takes one circuit: schematic C<n> [--png FILE] [--svg FILE] [--scale S]");
    const int n = circuitNumber(args.positional()[0]);
    if (n == 0)
        throw UsageError("unknown circuit \"" + args.positional()[0] + "\" (C1 to C42)");
    const auto png = args.value("--png");
    const auto svg = args.value("--svg");
    if ((!png || png->empty()) && (!svg || svg->empty()))
        throw UsageError("schematic needs a file to write: --png FILE and/or --svg FILE");
    const double scale = args.optionalNumber("--scale").value_or(1.0);
    if (!(scale >= kMinScale && scale <= kMaxScale))
        throw UsageError("the scale is 0.25 to 8: --scale S");
    if (!hasSchematic(n))
        throw UsageError("C" + std::to_string(n) + " has no schematic description yet");
    // Text on a picture needs the fonts of a GUI application object.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("schematic needs a QGuiApplication (offscreen platform) to draw text");

    const Schematic& s = schematicOf(n);
    if (png && !png->empty()) {
        const QImage image = drawSchematic(s, scale, SchematicControls::Drawn);
        if (!image.save(QString::fromStdString(*png), "PNG"))
            throw std::runtime_error("cannot write " + *png);
    }
    if (svg && !svg->empty())
        writeSvg(s, scale, *svg);
    return kOk;
}

} // namespace cli

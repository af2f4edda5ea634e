// valvenix-cli curves MODEL [--transfer] [--vs V] --png FILE: the anode (or transfer)
// characteristics of a model as a 1000 x 700 PNG picture.
#include "cli.h"

#include "model/anode_charts.h"
#include "storage/model_database.h"
#include "util/format.h"

#include "plots/anode_plots.h"

#include <QGuiApplication>
#include <QString>

#include <stdexcept>

namespace cli {

int runCurves(const std::vector<std::string>& words) {
    Args args(words, {"--vs", "--png"}, {"--transfer"});
    if (args.positional().size() != 1)
        throw UsageError("curves takes one model name: curves MODEL [--transfer] [--vs V] --png FILE");
    const std::string& model = args.positional()[0];
    const auto png = args.value("--png");
    if (!png || png->empty())
        throw UsageError("curves needs the picture's file: --png FILE");
    const double vs = args.optionalNumber("--vs").value_or(100.0);
    if (!(vs >= kMinScreenVoltage))
        throw UsageError(strFormat("the screen-grid voltage is %.0f V at least: --vs V", kMinScreenVoltage));
    if (vs > kMaxScreenVoltage)
        throw UsageError(
            strFormat("the screen-grid voltage is %.0f V at most, the highest supply a circuit takes: --vs V",
                      kMaxScreenVoltage));

    TTube tube(loadTubeParams(model), "T1");
    if (tube.t35() == 0)
        throw UsageError("unknown model " + quoted(model) + " (valvenix-cli models lists them)");
    const AnodeChart chart = args.flag("--transfer") ? computeTransferCharacteristics(tube, vs)
                                                     : computeAnodeCharacteristics(tube, vs);
    // Text on a picture needs the fonts of a GUI application object.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw std::runtime_error("curves needs a QGuiApplication (offscreen platform) to draw text");
    const QImage image = drawAnodeChart(chart, QSize(1000, 700), 1.0);
    if (!image.save(QString::fromStdString(*png), "PNG"))
        throw std::runtime_error("cannot write " + *png);
    return kOk;
}

} // namespace cli

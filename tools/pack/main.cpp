// valvenix-pack: the build-time tool that makes the packaged files which are not written by hand.
//   valvenix-pack streams OUTDIR                      the three picture streams
//   valvenix-pack manual MDDIR FIGDIR OUTFILE.pdf     the user manual from its Markdown chapters
//   valvenix-pack figure N OUTFILE.png                the schematic of circuit N, as the stream holds it
#include "circuit_pictures.h"
#include "streams.h"

#include "circuits/catalogue.h"

#include <QGuiApplication>
#include <cstdio>

namespace {
const char* kUsage = "usage: valvenix-pack streams OUTDIR\n"
                     "       valvenix-pack manual MDDIR FIGDIR OUTFILE.pdf\n"
                     "       valvenix-pack figure N OUTFILE.png\n";
}

int main(int argc, char** argv) {
    // Drawing text needs a GUI application; it never opens a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QString error;
    if (args.size() == 2 && args[0] == "streams") {
        error = writeStreams(args[1]);
    } else if (args.size() == 4 && args[0] == "manual") {
        error = writeManual(args[1], args[2], args[3]);
    } else if (args.size() == 3 && args[0] == "figure" && args[1].toInt() >= 1 &&
               args[1].toInt() <= kCircuitCount) {
        if (!schematicPicture(args[1].toInt()).save(args[2], "PNG"))
            error = "cannot write " + args[2];
    } else {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "valvenix-pack: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

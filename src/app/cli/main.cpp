// valvenix-cli: the headless host of Valvenix for scripts, batch runs and tests.
#include "cli.h"

#include "storage/data_folder.h"
#include "storage/model_database.h"
#include "util/allocator.h"
#include "util/utf8.h"

#include <QCoreApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <functional>
#include <map>
#include <memory>

namespace {
const char* kUsage =
    "usage: valvenix-cli [--data-dir DIR] COMMAND ...\n"
    "  models [--type triode|pentode]\n"
    "  current MODEL --va V --vg V [--vs V]\n"
    "  solve C<n> [--example] [NAME=VALUE ...] [--json] [--png-dir DIR] [--save] [--trace]\n"
    "        [--freqmin I] [--freqmax I] [--straycaps I] [--feedback I] [--ignore-miller]\n"
    "        [--kza X] [--kzb X] [--load-function f1|f2|f3|f4] [--thd-level V]\n"
    "        [--ac exact|classic]\n"
    "  curves MODEL [--transfer] [--vs V] --png FILE\n"
    "  install-data [--from DIR]\n"
    "  schematic C<n> [--png FILE] [--svg FILE] [--scale S]\n"
    "  batch    one solve per line of standard input, one JSON object per output line:\n"
    "           the words of solve (C1 EdRa=100k \"LBtube=ECC83 / 12AX7\" --freqmin 1)\n"
    "           or {\"circuit\":1,\"values\":{\"EdRa\":\"100k\"},\"options\":{\"freqmin\":1}};\n"
    "           blank lines and # comments are skipped, a bad line gives {\"line\":N,\"error\":...}\n"
    "  spice C<n> [NAME=VALUE ...] [--out FILE] [bandwidth options as for solve]\n"
    "  import-model FILE [--name N] [--kg1 koren|single]\n"
    "  export-model MODEL [--out FILE]\n"
    "  sweep C<n> FIELD FROM TO STEPS [--log] [NAME=VALUE ...] [--csv|--json]\n";

int run(std::vector<std::string> words) {
    // --data-dir may stand before or after the command word.
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--data-dir") {
            if (i + 1 >= words.size())
                throw cli::UsageError("option --data-dir needs a value");
            if (words[i + 1].empty())
                throw cli::UsageError("--data-dir needs a folder, not an empty text");
            setDataFolderOverride(words[i + 1]);
            words.erase(words.begin() + static_cast<long>(i), words.begin() + static_cast<long>(i) + 2);
            --i;
        }
    }
    if (words.empty() || words[0] == "--help" || words[0] == "-h") {
        std::fputs(kUsage, words.empty() ? stderr : stdout);
        return words.empty() ? cli::kUsage : cli::kOk;
    }
    const std::map<std::string, std::function<int(const std::vector<std::string>&)>> commands = {
        {"models", cli::runModels},
        {"current", cli::runCurrent},
        {"solve", cli::runSolve},
        {"curves", cli::runCurves},
        {"install-data", cli::runInstallData},
        {"schematic", cli::runSchematic},
        {"batch", cli::runBatch},
        {"spice", cli::runSpice},
        {"import-model", cli::runImportModel},
        {"export-model", cli::runExportModel},
        {"sweep", cli::runSweep},
    };
    auto command = commands.find(words[0]);
    if (command == commands.end())
        throw cli::UsageError("unknown command " + cli::quoted(words[0]) + "\n" + kUsage);
    // Installation creates and fills the data folder, so it runs before the folder is required.
    if (words[0] == "install-data")
        return cli::runInstallData(std::vector<std::string>(words.begin() + 1, words.end()));
    if (!dataFolderExists())
        throw cli::UsageError("the data folder " + cli::quoted(dataFolder()) + " does not exist");
    const ModelDatabaseStart start = prepareModelDatabase();
    if (start.migrated)
        std::fprintf(stderr, "%s\n", kModelDatabaseUpdatedMessage);
    for (const auto& problem : start.problems)
        std::fprintf(stderr, "valvenix-cli: %s\n", escapeControls(problem).c_str());
    return command->second(std::vector<std::string>(words.begin() + 1, words.end()));
}

// Qt's own notices (platform plugins, runtime folders) are not this program's output.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}
} // namespace

int main(int argc, char** argv) {
    keepFreedMemoryForReuse();
    qInstallMessageHandler(quietQtMessages);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        words.emplace_back(argv[i]);
    // A run that draws needs QtGui and the pictures, which only valvenix-cli-draw links.
    const bool pictures = std::find(words.begin(), words.end(), "--png-dir") != words.end() ||
                          std::find(words.begin(), words.end(), "curves") != words.end() ||
                          std::find(words.begin(), words.end(), "schematic") != words.end();
    std::unique_ptr<QCoreApplication> app = cli::makeApplication(argc, argv, pictures);
    // Qt sets the C locale from the environment; the reports and the JSON write numbers with '.'.
    std::setlocale(LC_NUMERIC, "C");
    try {
        return run(words);
    } catch (const cli::UsageError& e) {
        // Messages may quote what was typed or read from a file: nothing reaches the terminal raw.
        std::fprintf(stderr, "valvenix-cli: %s\n", escapeControls(e.what(), true).c_str());
        return cli::kUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "valvenix-cli: %s\n", escapeControls(e.what(), true).c_str());
        return cli::kInternal;
    }
}

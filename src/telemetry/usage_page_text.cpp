// Usage page messages.
#include "telemetry/usage_page_text.h"

namespace {

const char* const kTitle = "<css=h1>Usage statistics</css><br><br>";

QString howToSet() {
    return QStringLiteral(
        "To see them, set a usage server in the settings file valvenix.ini of the data folder, "
        "section [Korvessa]:<br>"
        "    <b>usageserver=https://your.server:8443</b><br>"
        "and make sure <b>usageoff=0</b> (or leave it out). Valvenix then tells that server, for each "
        "solve and each curve drawing you ask for, the name of the action and nothing else: "
        "no values, no tube names, no files.<br>"
        "A usage server of your own is <b>server/usage_server.py</b> in the Valvenix sources (see the "
        "README, section \"Usage statistics server\").");
}

} // namespace

QString markupSafe(const QString& text) {
    QString safe = text;
    safe.replace('<', QChar(0x2039)).replace('>', QChar(0x203A));
    return safe;
}

QString usagePageHelp(UsageServerState state, const QString& url) {
    QString text = kTitle;
    switch (state) {
    case UsageServerState::SwitchedOff:
        return text + "<css=rou>Usage reports are switched off</css> (usageoff=1 in the settings file): "
                      "nothing is sent and no statistics are fetched.<br>"
                      "Set <b>usageoff=0</b> to use the usage server set in <b>usageserver</b>.";
    case UsageServerState::NotHttps:
        text += "<css=rou>The usage server \"" + markupSafe(url) +
                "\" is not an https address</css>, so nothing is sent.<br><br>";
        break;
    case UsageServerState::NotSet:
    case UsageServerState::Active:
        text += "<css=rou>No usage server is set</css>, so Valvenix sends nothing and has no "
                "statistics to show.<br><br>";
        break;
    }
    return text + howToSet();
}

QString usagePageFailure(const QString& host, const QString& reason) {
    return kTitle + QStringLiteral("<css=rou>The usage statistics could not be fetched from %1</css>: %2.<br>"
                                   "Choose the page again to retry.")
                        .arg(markupSafe(host), markupSafe(reason));
}

// Usage server address checks and request URLs.
#include "telemetry/usage_endpoint.h"

namespace {

QUrl parsedUrl(const UsageServerSetting& setting) {
    return QUrl(setting.url.trimmed(), QUrl::StrictMode);
}

} // namespace

UsageServerState usageServerState(const UsageServerSetting& setting) {
    if (setting.off)
        return UsageServerState::SwitchedOff;
    if (setting.url.trimmed().isEmpty())
        return UsageServerState::NotSet;
    const QUrl url = parsedUrl(setting);
    const bool sound = url.isValid() && url.scheme() == "https" && !url.host().isEmpty() &&
                       url.userInfo().isEmpty() && !url.hasQuery() && !url.hasFragment();
    return sound ? UsageServerState::Active : UsageServerState::NotHttps;
}

QUrl usageBaseUrl(const UsageServerSetting& setting) {
    if (usageServerState(setting) != UsageServerState::Active)
        return {};
    QUrl url = parsedUrl(setting);
    QString path = url.path();
    while (path.endsWith('/'))
        path.chop(1);
    url.setPath(path);
    return url;
}

QUrl usageRequestUrl(const QUrl& base, const QString& path, const QString& query) {
    QUrl url = base;
    url.setPath(base.path() + path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

bool isUsageAction(const QString& name) {
    if (name == kCurveAction)
        return true;
    for (int circuit = 1; circuit <= kLoggedCircuitCount; ++circuit)
        if (name == solveAction(circuit))
            return true;
    return false;
}

QString solveAction(int circuit) {
    return QStringLiteral("schema%1").arg(circuit);
}

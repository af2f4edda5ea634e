// Where usage reports go and what they may carry: the usage server set in the settings, the three
// request paths on it, and the action names, the only data a report holds.
#pragma once

#include <QString>
#include <QUrl>

inline constexpr const char* kUsageLogPath = "/log/desktop.php";
inline constexpr const char* kUsageWelcomePath = "/log/introduction.rtf";
inline constexpr const char* kUsageStatisticsPath = "/log/getNewDatalog.php";
inline constexpr const char* kWelcomeFileName = "introduction.rtf";
inline constexpr const char* kCurveAction = "tube";
inline constexpr int kLoggedCircuitCount = 42; // "schema1" ... "schema42"

// The usage server as the settings file holds it.
struct UsageServerSetting {
    QString url;      // base URL, "https://host[:port][/prefix]"; empty: no server
    bool off = false; // the off switch: nothing is sent whatever the URL
};

enum class UsageServerState {
    Active,      // requests go to the server
    NotSet,      // no URL
    SwitchedOff, // the off switch is on
    NotHttps,    // the URL is not an https address with a host (or carries a user, query or fragment)
};

UsageServerState usageServerState(const UsageServerSetting& setting);

// The address requests are built on (trailing slashes dropped); an empty URL unless Active.
QUrl usageBaseUrl(const UsageServerSetting& setting);

// base + path, with the query when one is given.
QUrl usageRequestUrl(const QUrl& base, const QString& path, const QString& query = {});

// The actions a report may carry: "schema1" ... "schema42" and "tube". Nothing else leaves the
// machine, so no value typed by the user, model name or path can pass for one.
bool isUsageAction(const QString& name);

// The action of a solve of circuit n: "schema" followed by n in decimal ("schema12").
QString solveAction(int circuit);

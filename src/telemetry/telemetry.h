// Usage reports and the usage page: short HTTPS requests to the usage server set in the settings,
// made in the background (a solve or the start-up never waits on them), never queued or retried.
#pragma once

#include "telemetry/usage_endpoint.h"

#include <QList>
#include <QObject>
#include <QSslConfiguration>
#include <QString>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;
class QSslCertificate;

// One per application. Requests go only while the setting is Active; each ends within the time-out.
// Failed reports and downloads are silent; a failed statistics fetch gives a readable page text.
class Telemetry : public QObject {
    Q_OBJECT
public:
    // Why a curve drawing happened: only a drawing the user asked for is reported.
    enum class DrawCause { UserRequest, Resize };

    static constexpr std::chrono::milliseconds kDefaultTimeout{5000};
    static constexpr qint64 kMaxStatisticsBytes = 1 << 20;
    static constexpr qint64 kMaxFileBytes = 4 << 20;

    explicit Telemetry(const UsageServerSetting& server = {}, QObject* parent = nullptr);
    ~Telemetry() override;

    void setServer(const UsageServerSetting& server);
    const UsageServerSetting& server() const { return server_; }
    bool active() const { return !base_.isEmpty(); }

    // Trust these certificates instead of the system's (a private server with its own authority).
    void setTrustedCertificates(const QList<QSslCertificate>& certificates);
    // Each request is abandoned when it has not finished after this long.
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds timeout() const { return timeout_; }

    // "Valvenix/<version>".
    static QString userAgent();

    // HEAD /log/desktop.php?action=<action>. Returns at once: true when a request left, false when
    // nothing is sent (no server, switched off, or not an action name). actionLogged tells the end.
    bool logAction(const QString& action);
    // After each solve: the action "schema<n>".
    bool logSolve(int circuit);
    // After a curve drawing: the action "tube", sent only for a drawing the user asked for.
    bool logCurveDrawing(DrawCause cause);

    // GETs path into folder/fileName. The folder must exist (it is never created); the file is
    // replaced only by a complete download, so a failure keeps the previous file. fileFetched tells
    // the end. Returns false when nothing was asked.
    bool getDistantFile(const QString& path, const QString& fileName, const QString& folder);
    // At start-up: "/log/introduction.rtf" into the data folder as "introduction.rtf".
    bool fetchWelcome(const QString& dataFolder);

    // For the usage page: GETs "/log/getNewDatalog.php" and emits statisticsReady with the page, or
    // statisticsFailed with a page text saying why (how to set a server when none is active). Both
    // come from the event loop, once per call. Returns false while an earlier fetch is still under
    // way (its answer is the one to show).
    bool fetchStatistics();

    int pendingRequests() const { return pending_; }

signals:
    void actionLogged(const QString& action, bool ok);
    void fileFetched(const QString& filePath, bool ok);
    void statisticsReady(const QString& markup);
    void statisticsFailed(const QString& message);

private:
    QNetworkReply* send(const QString& method, const QString& path, const QString& query = {});
    // Why a finished reply failed, empty when it succeeded.
    QString failure(QNetworkReply* reply) const;

    QNetworkAccessManager* manager_;
    UsageServerSetting server_;
    QUrl base_;
    QSslConfiguration tls_;
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    int pending_ = 0;
    bool statisticsUnderWay_ = false;
};

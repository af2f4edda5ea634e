// The usage requests over Qt Network: TLS 1.2 or newer with the server certificate verified, a
// deadline per request, no cookies, no cache, redirects only within the same server.
#include "telemetry/telemetry.h"

#include "telemetry/usage_page_text.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QSslCertificate>
#include <QTimer>
#include <memory>

#ifndef VALVENIX_VERSION
#define VALVENIX_VERSION "0"
#endif

namespace {

const char* const kAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
// Reasons a reply was abandoned by this class, kept on the reply.
const char* const kTimedOut = "valvenixTimedOut";
const char* const kTooLarge = "valvenixTooLarge";
const char* const kWriteFailed = "valvenixWriteFailed";

bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') && !name.contains('\\');
}

void abandon(QNetworkReply* reply, const char* reason) {
    reply->setProperty(reason, true);
    reply->abort();
}

} // namespace

Telemetry::Telemetry(const UsageServerSetting& server, QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)) {
    tls_ = QSslConfiguration::defaultConfiguration();
    tls_.setProtocol(QSsl::TlsV1_2OrLater);
    tls_.setPeerVerifyMode(QSslSocket::VerifyPeer);
    setServer(server);
}

Telemetry::~Telemetry() {
    // Requests still running end here without a word: nobody is left to tell.
    for (QNetworkReply* reply : manager_->findChildren<QNetworkReply*>()) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
    }
}

void Telemetry::setServer(const UsageServerSetting& server) {
    server_ = server;
    base_ = usageBaseUrl(server);
}

void Telemetry::setTrustedCertificates(const QList<QSslCertificate>& certificates) {
    tls_.setCaCertificates(certificates);
}

QString Telemetry::userAgent() {
    return QStringLiteral("Valvenix/" VALVENIX_VERSION);
}

QNetworkReply* Telemetry::send(const QString& method, const QString& path, const QString& query) {
    QNetworkRequest request(usageRequestUrl(base_, path, query));
    request.setRawHeader("Accept", kAccept);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent());
    request.setRawHeader("Accept-Language", "en"); // the program's language, not the user's locale
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setSslConfiguration(tls_);

    QNetworkReply* reply = method == "HEAD" ? manager_->head(request) : manager_->get(request);
    ++pending_;
    QTimer::singleShot(timeout_, reply, [reply] { abandon(reply, kTimedOut); });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        --pending_;
        reply->deleteLater();
    });
    return reply;
}

QString Telemetry::failure(QNetworkReply* reply) const {
    if (reply->property(kTimedOut).toBool())
        return QStringLiteral("the server did not answer within %1 s").arg(timeout_.count() / 1000.0);
    if (reply->property(kTooLarge).toBool())
        return QStringLiteral("its answer is too large");
    if (reply->property(kWriteFailed).toBool())
        return QStringLiteral("the file could not be written");
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    if (reply->error() != QNetworkReply::NoError && status == 0)
        return reply->errorString();
    if (status < 200 || status >= 300)
        return QStringLiteral("the server answered %1 %2").arg(status).arg(reason).trimmed();
    return {};
}

bool Telemetry::logAction(const QString& action) {
    if (!active() || !isUsageAction(action))
        return false;
    QNetworkReply* reply = send("HEAD", kUsageLogPath, "action=" + action);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, action] { emit actionLogged(action, failure(reply).isEmpty()); });
    return true;
}

bool Telemetry::logSolve(int circuit) {
    return logAction(solveAction(circuit));
}

bool Telemetry::logCurveDrawing(DrawCause cause) {
    return cause == DrawCause::UserRequest && logAction(kCurveAction);
}

bool Telemetry::getDistantFile(const QString& path, const QString& fileName, const QString& folder) {
    if (!active() || !isPlainFileName(fileName) || !QFileInfo(folder).isDir())
        return false;
    const QString target = QDir(folder).filePath(fileName);
    auto file = std::make_unique<QSaveFile>(target);
    if (!file->open(QIODevice::WriteOnly))
        return false;
    QNetworkReply* reply = send("GET", path);
    QSaveFile* out = file.release();
    out->setParent(reply); // an unfinished file goes with its reply, leaving the old one in place

    auto write = [reply, out](const QByteArray& chunk) {
        if (out->pos() + chunk.size() > kMaxFileBytes)
            abandon(reply, kTooLarge);
        else if (out->write(chunk) != chunk.size())
            abandon(reply, kWriteFailed);
    };
    connect(reply, &QNetworkReply::readyRead, this, [reply, write] { write(reply->readAll()); });
    connect(reply, &QNetworkReply::finished, this, [this, reply, out, target, write] {
        bool ok = failure(reply).isEmpty();
        if (ok) {
            write(reply->readAll());
            ok = failure(reply).isEmpty() && out->commit();
        }
        if (!ok)
            out->cancelWriting();
        emit fileFetched(target, ok);
    });
    return true;
}

bool Telemetry::fetchWelcome(const QString& dataFolder) {
    return getDistantFile(kUsageWelcomePath, kWelcomeFileName, dataFolder);
}

bool Telemetry::fetchStatistics() {
    if (statisticsUnderWay_)
        return false;
    if (!active()) {
        const QString help = usagePageHelp(usageServerState(server_), server_.url);
        QTimer::singleShot(0, this, [this, help] { emit statisticsFailed(help); });
        return true;
    }
    statisticsUnderWay_ = true;
    QNetworkReply* reply = send("GET", kUsageStatisticsPath);
    auto page = std::make_shared<QByteArray>();
    auto take = [reply, page] {
        const QByteArray chunk = reply->readAll();
        if (page->size() + chunk.size() > kMaxStatisticsBytes)
            abandon(reply, kTooLarge);
        else
            page->append(chunk);
    };
    connect(reply, &QNetworkReply::readyRead, this, take);
    connect(reply, &QNetworkReply::finished, this, [this, reply, page, take] {
        statisticsUnderWay_ = false;
        QString why = failure(reply);
        if (why.isEmpty()) {
            take();
            why = failure(reply);
        }
        if (why.isEmpty())
            emit statisticsReady(QString::fromUtf8(*page));
        else
            emit statisticsFailed(usagePageFailure(base_.toDisplayString(), why));
    });
    return true;
}

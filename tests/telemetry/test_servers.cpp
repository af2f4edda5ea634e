// Test servers on 127.0.0.1: certificate generation, the usage server process, capture servers.
#include "test_servers.h"

#include "event_wait.h"

#include "storage/sqlite3_database.h"

#include <QFile>
#include <QRegularExpression>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpSocket>

namespace {

constexpr int kProcessBound = 30000; // ms: any start or stop ends within this

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

#ifndef VALVENIX_WIDGET_TESTS // the window tests make a QApplication of their own
[[maybe_unused]] static ::testing::Environment* const coreApplication =
    ::testing::AddGlobalTestEnvironment(new CoreApplicationEnvironment);
#endif

TestCertificate::TestCertificate() {
    if (!dir_.isValid())
        return;
    certFile_ = dir_.filePath("cert.pem");
    keyFile_ = dir_.filePath("key.pem");
    QProcess openssl;
    openssl.start(VALVENIX_OPENSSL,
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                   "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                   "-keyout", keyFile_, "-out", certFile_});
    if (!openssl.waitForFinished(kProcessBound) || openssl.exitCode() != 0)
        return;
    const QList<QSslCertificate> certs = QSslCertificate::fromData(readAll(certFile_), QSsl::Pem);
    if (!certs.isEmpty())
        certificate_ = certs.first();
}

UsageServerProcess::UsageServerProcess(const TestCertificate& certificate, const QString& notice) {
    QFile welcome(welcomeFile());
    if (!dir_.isValid() || !welcome.open(QIODevice::WriteOnly)) {
        error_ = "no temporary folder";
        return;
    }
    welcome.write("{\\rtf1\\ansi Welcome to Valvenix.\\par}\n");
    welcome.close();

    QStringList args = {VALVENIX_USAGE_SERVER,
                        "--bind",
                        "127.0.0.1",
                        "--port",
                        "0",
                        "--cert",
                        certificate.certFile(),
                        "--key",
                        certificate.keyFile(),
                        "--db",
                        dir_.filePath("usage.sqlite"),
                        "--welcome",
                        welcomeFile()};
    if (!notice.isEmpty()) {
        QFile file(dir_.filePath("notice.txt"));
        if (file.open(QIODevice::WriteOnly))
            file.write(notice.toUtf8());
        args << "--notice" << file.fileName();
    }
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(VALVENIX_PYTHON, args);
    if (!process_.waitForStarted(kProcessBound)) {
        error_ = "python did not start: " + process_.errorString();
        return;
    }
    // The first line tells the address actually bound.
    while (!process_.canReadLine()) {
        if (!process_.waitForReadyRead(kProcessBound)) {
            error_ = "no address line; stderr: " + QString::fromUtf8(process_.readAllStandardError());
            stop();
            return;
        }
    }
    const QString line = QString::fromUtf8(process_.readLine()).trimmed();
    const QRegularExpressionMatch m =
        QRegularExpression("^listening on https://127\\.0\\.0\\.1:(\\d+)$").match(line);
    if (!m.hasMatch()) {
        error_ = "unexpected first line: " + line;
        stop();
        return;
    }
    port_ = m.captured(1).toInt();
}

QString UsageServerProcess::url() const {
    return QString("https://127.0.0.1:%1").arg(port_);
}

QString UsageServerProcess::error() const {
    return error_;
}

void UsageServerProcess::stop() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(kProcessBound)) {
        process_.kill();
        process_.waitForFinished(kProcessBound);
    }
}

std::map<std::string, long long> UsageServerProcess::counts() const {
    TSQLite3Database db(dir_.filePath("usage.sqlite").toStdString());
    auto query = db.Prepare("SELECT action, SUM(n) FROM counts GROUP BY action");
    std::map<std::string, long long> result;
    while (query->Step())
        result[query->ColumnText(0)] = query->ColumnInt(1);
    return result;
}

long long UsageServerProcess::rows() const {
    TSQLite3Database db(dir_.filePath("usage.sqlite").toStdString());
    auto query = db.Prepare("SELECT COUNT(*) FROM counts");
    return query->Step() ? query->ColumnInt(0) : -1;
}

CaptureServer::CaptureServer(const TestCertificate& certificate, QByteArray body) : body_(std::move(body)) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificate.certificate());
    tls.setPrivateKey(QSslKey(readAll(certificate.keyFile()), QSsl::Ec));
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_.setSslConfiguration(tls);
    QObject::connect(&server_, &QSslServer::startedEncryptionHandshake,
                     [this](QSslSocket*) { ++connections_; });
    QObject::connect(&server_, &QSslServer::pendingConnectionAvailable, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                const qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                requests_ << QString::fromLatin1(buffer->left(end));
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                    QByteArray::number(body_.size()) + "\r\n\r\n");
                if (!buffer->startsWith("HEAD "))
                    socket->write(body_);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    server_.listen(QHostAddress::LocalHost, 0);
}

QString CaptureServer::url() const {
    return QString("https://127.0.0.1:%1").arg(server_.serverPort());
}

SilentServer::SilentServer() {
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
        while (server_.nextPendingConnection())
            ++connections_;
    });
    server_.listen(QHostAddress::LocalHost, 0);
}

QString SilentServer::url() const {
    return QString("https://127.0.0.1:%1").arg(server_.serverPort());
}

// The servers the network tests talk to, all on 127.0.0.1 and started by the test itself: a
// certificate made for the test, the project's usage server run as a child process, a capturing
// HTTPS server that records every request it receives, and a server that accepts and never answers.
#pragma once

#include <QList>
#include <QProcess>
#include <QSslCertificate>
#include <QSslServer>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <map>
#include <memory>
#include <string>

// A self-signed certificate for 127.0.0.1 with its key, in a temporary folder.
class TestCertificate {
public:
    TestCertificate();
    bool valid() const { return !certificate_.isNull(); }
    const QString& certFile() const { return certFile_; }
    const QString& keyFile() const { return keyFile_; }
    const QSslCertificate& certificate() const { return certificate_; }
    QList<QSslCertificate> trusted() const { return {certificate_}; }

private:
    QTemporaryDir dir_;
    QString certFile_, keyFile_;
    QSslCertificate certificate_;
};

// server/usage_server.py on a free port of 127.0.0.1, with its own database and welcome file.
class UsageServerProcess {
public:
    explicit UsageServerProcess(const TestCertificate& certificate, const QString& notice = {});
    ~UsageServerProcess() { stop(); }

    bool running() const { return port_ != 0 && process_.state() == QProcess::Running; }
    QString url() const;   // "https://127.0.0.1:<port>"
    QString error() const; // why it did not start
    void stop();

    QString welcomeFile() const { return dir_.filePath("welcome.rtf"); }
    // Action -> count over all days, read from the server's database.
    std::map<std::string, long long> counts() const;
    // Number of (day, action) rows stored.
    long long rows() const;

private:
    QTemporaryDir dir_;
    QProcess process_;
    int port_ = 0;
    QString error_;
};

// An HTTPS server that answers every request "200 OK" with a body, and keeps what it received.
class CaptureServer {
public:
    explicit CaptureServer(const TestCertificate& certificate, QByteArray body = {});
    QString url() const;
    int connections() const { return connections_; }          // TCP connections, handshaken or not
    const QStringList& requests() const { return requests_; } // request head, CR LF lines

private:
    QSslServer server_;
    QByteArray body_;
    int connections_ = 0;
    QStringList requests_;
};

// Accepts connections and never says a word.
class SilentServer {
public:
    SilentServer();
    QString url() const;
    int connections() const { return connections_; }

private:
    QTcpServer server_; // keeps the accepted sockets open until the test ends
    int connections_ = 0;
};

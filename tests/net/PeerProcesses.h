#pragma once

#include "NetTestSupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Waits until something accepts connections on the loopback port.
inline bool WaitForPort(quint16 port, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        if (probe.waitForConnected(200)) {
            probe.disconnectFromHost();
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// A peer program started by a test and stopped by its PID when the object goes.
class PeerProcess
{
public:
    ~PeerProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(3000)) {
                process.kill();
                process.waitForFinished(3000);
            }
        }
    }
    bool Start(const QString& program, const QStringList& args)
    {
        process.setProgram(program);
        process.setArguments(args);
        process.start();
        return process.waitForStarted(5000);
    }
    QProcess process;
};

// brelmont-provider-sim on two loopback ports.
class ProviderSim : public PeerProcess
{
public:
    bool Start(const QStringList& options)
    {
        logPath = dir.filePath(QStringLiteral("submissions.jsonl"));
        if (!PeerProcess::Start(QStringLiteral(BRELMONT_PROVIDER_SIM),
                                options + QStringList{QStringLiteral("--log"), logPath}))
            return false;
        QDeadlineTimer deadline(10000);
        QByteArray out;
        // A slow start (a sanitizer build on a busy machine) may take seconds to print the line.
        while (!out.contains('\n') && !deadline.hasExpired() && process.state() == QProcess::Running) {
            process.waitForReadyRead(200);
            out += process.readAllStandardOutput();
        }
        // The ready line: "name=port" pairs, the gateway's first.
        static const QRegularExpression pair(QStringLiteral("([a-z-]+)=(\\d+)"));
        for (auto it = pair.globalMatch(QString::fromLatin1(out)); it.hasNext();) {
            const auto m = it.next();
            ports.insert(m.captured(1), static_cast<quint16>(m.captured(2).toUInt()));
        }
        port = ports.value(QStringLiteral("gateway-port"));
        fallbackPort = ports.value(QStringLiteral("gateway-fallback-port"));
        httpPort = ports.value(QStringLiteral("http-port"));
        return port != 0 && fallbackPort != 0;
    }
    QList<QByteArray> LogLines() const
    {
        QFile f(logPath);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines = f.readAll().split('\n');
        lines.removeAll(QByteArray());
        return lines;
    }

    QTemporaryDir dir;
    QString logPath;
    quint16 port = 0;
    quint16 fallbackPort = 0;
    quint16 httpPort = 0;
    QHash<QString, quint16> ports; // every port of the ready line by name
};

// microsocks on a free loopback port, optionally with a user name and password.
class Microsocks : public PeerProcess
{
public:
    static QString Program() { return QStringLiteral("/usr/bin/microsocks"); }
    static bool Available() { return QFileInfo(Program()).isExecutable(); }
    bool Start(const QString& user = {}, const QString& password = {})
    {
        port = ClosedLoopbackPort();
        QStringList args{QStringLiteral("-i"),  QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                         QString::number(port), QStringLiteral("-b"),        QStringLiteral("127.0.0.1")};
        if (!user.isEmpty())
            args << QStringLiteral("-u") << user << QStringLiteral("-P") << password;
        return PeerProcess::Start(Program(), args) && WaitForPort(port);
    }
    quint16 port = 0;
};

// dante on a free loopback port, refusing connections to one destination port by rule.
class Dante : public PeerProcess
{
public:
    static QString Program() { return QStringLiteral("/usr/sbin/danted"); }
    static bool Available() { return QFileInfo(Program()).isExecutable(); }
    bool Start(quint16 blockedPort)
    {
        port = ClosedLoopbackPort();
        const QString conf = dir.filePath(QStringLiteral("danted.conf"));
        QFile f(conf);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(
            QStringLiteral("logoutput: %1\n"
                           "internal: 127.0.0.1 port = %2\n"
                           "external: 127.0.0.1\n"
                           "socksmethod: none\n"
                           "clientmethod: none\n"
                           "user.privileged: root\n"
                           "user.unprivileged: nobody\n"
                           "client pass { from: 127.0.0.0/8 to: 127.0.0.0/8 }\n"
                           "socks block { from: 0.0.0.0/0 to: 127.0.0.1/32 port = %3 log: error connect }\n"
                           "socks pass { from: 127.0.0.0/8 to: 127.0.0.0/8 command: connect }\n"
                           "socks block { from: 0.0.0.0/0 to: 0.0.0.0/0 }\n")
                .arg(dir.filePath(QStringLiteral("danted.log")))
                .arg(port)
                .arg(blockedPort)
                .toUtf8());
        f.close();
        return PeerProcess::Start(Program(), {QStringLiteral("-f"), conf, QStringLiteral("-p"),
                                              dir.filePath(QStringLiteral("danted.pid"))}) &&
               WaitForPort(port);
    }
    QTemporaryDir dir;
    quint16 port = 0;
};

// The npm "soap" server of tests/peers/soap serving the remote phone book's WSDL with the phone
// book of a JSON file (see server.js). Each request it decoded is one "REQUEST operation {json}"
// line of its output.
#ifdef BRELMONT_SOURCE_DIR
class NodeSoapPeer : public PeerProcess
{
public:
    static QString Dir() { return QStringLiteral(BRELMONT_SOURCE_DIR "/tests/peers/soap"); }
    static bool Available()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty() &&
               QFileInfo::exists(Dir() + QStringLiteral("/node_modules/soap/package.json"));
    }
    bool Start(const QByteArray& phoneBookJson)
    {
        QFile data(dir.filePath(QStringLiteral("phonebook.json")));
        if (!data.open(QIODevice::WriteOnly) || data.write(phoneBookJson) != phoneBookJson.size())
            return false;
        data.close();
        port = ClosedLoopbackPort();
        if (!PeerProcess::Start(QStandardPaths::findExecutable(QStringLiteral("node")),
                                {Dir() + QStringLiteral("/server.js"), QString::number(port),
                                 QStringLiteral(BRELMONT_SOURCE_DIR "/src/phonebook/remote/TarvoPhoneBook.wsdl"),
                                 data.fileName()}))
            return false;
        QDeadlineTimer deadline(20000);
        while (!output.contains("READY") && !deadline.hasExpired() && process.state() == QProcess::Running) {
            process.waitForReadyRead(200);
            output += process.readAllStandardOutput();
        }
        return output.contains("READY");
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/services/TarvoPhoneBook.asmx").arg(port); }
    // The arguments the server decoded for each call of operation, in order.
    QList<QByteArray> Requests(const QByteArray& operation)
    {
        output += process.readAllStandardOutput();
        QList<QByteArray> found;
        for (const QByteArray& line : output.split('\n'))
            if (line.startsWith("REQUEST " + operation + ' '))
                found << line.mid(9 + operation.size());
        return found;
    }
    QTemporaryDir dir;
    quint16 port = 0;
    QByteArray output;
};
#endif
// nginx as one process (no master) on a free loopback port, serving www/ under dir. Extra
// server directives go into its server block. The destructor ends it by its PID.
class Nginx : public PeerProcess
{
public:
    static bool Available() { return QFileInfo(QStringLiteral("/usr/sbin/nginx")).isExecutable(); }
    QString WwwPath(const QString& name) const { return dir.filePath(QStringLiteral("www/") + name); }
    QString Url(const QString& path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }
    bool Start(const QString& serverDirectives = {})
    {
        port = ClosedLoopbackPort();
        QDir(dir.path()).mkpath(QStringLiteral("www"));
        QFile conf(dir.filePath(QStringLiteral("nginx.conf")));
        const QString temp = QStringLiteral(" %1_temp_path tmp-%1;");
        conf.open(QIODevice::WriteOnly);
        conf.write(
            QStringLiteral("master_process off; daemon off; pid nginx.pid; error_log error.log info;\n"
                           "events { worker_connections 64; }\n"
                           "http { access_log access.log; default_type application/octet-stream;%1%2%3%4%5\n"
                           "  server { listen 127.0.0.1:%6; root www; %7 } }\n")
                .arg(temp.arg(QStringLiteral("client_body")), temp.arg(QStringLiteral("proxy")),
                     temp.arg(QStringLiteral("fastcgi")), temp.arg(QStringLiteral("uwsgi")),
                     temp.arg(QStringLiteral("scgi")), QString::number(port), serverDirectives)
                .toUtf8());
        conf.close();
        return PeerProcess::Start(QStringLiteral("/usr/sbin/nginx"),
                                  {QStringLiteral("-p"), dir.path() + u'/', QStringLiteral("-c"),
                                   QStringLiteral("nginx.conf"), QStringLiteral("-e"),
                                   QStringLiteral("error.log")}) &&
               WaitForPort(port);
    }
    QTemporaryDir dir;
    quint16 port = 0;
};

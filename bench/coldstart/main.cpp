// The cold start of `brelmont show` to its first exposed window, against a minimal Qt Widgets
// program (brelmont_coldstart_minimal) showing a window with a menu bar and a text label. Both
// run off screen as whole processes that quit once their window was exposed
// (BRELMONT_EXIT_WHEN_SHOWN=1), the two sides alternating; one untimed run of each first, so
// neither pays for reading the libraries from disk. Every run starts from the same settings file
// (an account with a remembered password) and empty folders of its own, with every endpoint on
// a closed loopback port.
// --small runs one pair (smoke test); --pairs N sets the pairs.
#include "../common/BenchPairs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>

namespace {

// A loopback port nobody listens on: connections are refused at once.
quint16 ClosedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        qFatal("no loopback port");
    return server.serverPort();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const bool small = args.contains(QStringLiteral("--small"));
    const int pairs = Bench::Option(args, "--pairs", small ? 1 : 9);

    QTemporaryDir dir;
    const QString runDir = dir.filePath(QStringLiteral("run"));
    const QString registry = dir.filePath(QStringLiteral("registry.reg"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("BRELMONT_EXIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("BRELMONT_REGISTRY"), registry);
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR", "BRELMONT_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(name), runDir + u'/' + QString::fromLatin1(name));

    // The settings every run starts from: the endpoints on a closed port.
    const QString port = QString::number(ClosedPort());
    const QString url = QStringLiteral("http://127.0.0.1:") + port;
    const QString settings = dir.filePath(QStringLiteral("settings.reg"));
    QProcessEnvironment cliEnv = env;
    cliEnv.insert(QStringLiteral("BRELMONT_REGISTRY"), settings);
    const QList<std::pair<const char*, QString>> endpoints = {{"GatewayHost", QStringLiteral("127.0.0.1")},
                                                              {"GatewayPort", port},
                                                              {"GatewayFallbackPort", port},
                                                              {"ServiceHost", QStringLiteral("127.0.0.1")},
                                                              {"ServicePort", port},
                                                              {"SuggestionHost", QStringLiteral("127.0.0.1")},
                                                              {"SuggestionPort", port},
                                                              {"WebBaseUrl", url},
                                                              {"DownloadBaseUrl", url},
                                                              {"PhoneBookServiceUrl", url}};
    const auto configSet = [&](const QString& name, const QString& value) {
        Bench::TimeProcess({QStringLiteral(BRELMONT_CLI),
                            {QStringLiteral("config"), QStringLiteral("set"), name, value},
                            {},
                            QProcess::nullDevice(),
                            cliEnv});
    };
    for (const auto& [name, value] : endpoints)
        configSet(QStringLiteral("Endpoints\\") + QString::fromLatin1(name), value);
    // An account with its password remembered, as most users start.
    configSet(QStringLiteral("UserName"), QStringLiteral("tester"));
    configSet(QStringLiteral("RememberPwd"), QStringLiteral("1"));
    configSet(QStringLiteral("Password"), QStringLiteral("segreto"));

    const auto prepare = [&] {
        QDir(runDir).removeRecursively();
        for (const QString& folder : env.keys())
            if (folder.startsWith(u"XDG_") || folder == u"BRELMONT_RUNTIME_DIR")
                QDir().mkpath(env.value(folder));
        QFile::setPermissions(env.value(QStringLiteral("XDG_RUNTIME_DIR")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::remove(registry);
        QFile::copy(settings, registry);
    };
    const Bench::TProcessRun brelmont{
        QStringLiteral(BRELMONT_GUI), {QStringLiteral("show")}, {}, QProcess::nullDevice(), env, 60000};
    const Bench::TProcessRun minimal{QStringLiteral(BRELMONT_MINIMAL), {},  {},
                                     QProcess::nullDevice(),           env, 60000};
    prepare();
    Bench::TimeProcess(brelmont);
    prepare();
    Bench::TimeProcess(minimal);

    out << "cold start to the first exposed window, off screen; " << pairs << " pairs, sides alternating\n";
    const Bench::TPairs result = Bench::TimePairs(
        out, QStringLiteral("start"), pairs, [&] { return Bench::TimeProcess(brelmont); },
        [&] { return Bench::TimeProcess(minimal); }, prepare);
    const bool met = Bench::PrintRatio(out, QStringLiteral("brelmont show"),
                                       QStringLiteral("minimal window with menu bar and label"), result, 1.3);
    out << (met ? "target met\n" : "target NOT met\n");
    return 0;
}

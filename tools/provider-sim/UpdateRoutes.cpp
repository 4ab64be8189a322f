#include "UpdateRoutes.h"

#include "HttpSim.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <memory>

namespace {

const QString kDescription = QStringLiteral("update-description");
const QString kVersion = QStringLiteral("update-version");
const QString kSetup = QStringLiteral("update-setup");
const QString kSetupName = QStringLiteral("update-setup-name");
const QString kSetupSize = QStringLiteral("update-setup-size");
const QString kRate = QStringLiteral("update-rate");
const QString kSha256 = QStringLiteral("update-sha256");
const QString kUpdaterSize = QStringLiteral("update-updater-size");

// A shell script that leaves "<its path>.ran" behind when started, padded with comment lines.
QByteArray ScriptOfSize(const QByteArray& head, qint64 size)
{
    QByteArray body = head;
    while (body.size() < size) {
        const qint64 left = size - body.size();
        body += left > 1 ? "#" + QByteArray(std::min<qint64>(left - 2, 78), 'x') + "\n" : "\n";
    }
    return body.left(size);
}

bool OneOf(const QString& value, const QStringList& choices, const QString& option, QString* error)
{
    if (choices.contains(value))
        return true;
    *error = QStringLiteral("--%1 takes %2").arg(option, choices.join(u'|'));
    return false;
}

} // namespace

namespace UpdateRoutes {

void AddOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {kDescription,
         QStringLiteral("Update description: newer (publishes --update-version), none (publishes 1.0.0.0), "
                        "malformed, or missing (404)."),
         QStringLiteral("mode"), QStringLiteral("none")},
        {kVersion, QStringLiteral("Version the newer description publishes."), QStringLiteral("version"),
         QStringLiteral("99.0.0.0")},
        {kSetup,
         QStringLiteral("Setup transfer: whole, short (half, then closed), reset (half, then reset), slow."),
         QStringLiteral("mode"), QStringLiteral("whole")},
        {kSetupName, QStringLiteral("File name of the setup program."), QStringLiteral("name"),
         QStringLiteral("brelmont-setup.sh")},
        {kSetupSize, QStringLiteral("Bytes of the setup program."), QStringLiteral("n"),
         QStringLiteral("262144")},
        {kRate, QStringLiteral("Bytes per second of a slow transfer."), QStringLiteral("n"),
         QStringLiteral("65536")},
        {kSha256, QStringLiteral("SHA256 element of the description: none, right or wrong."),
         QStringLiteral("mode"), QStringLiteral("none")},
        {kUpdaterSize, QStringLiteral("Bytes of the updater served."), QStringLiteral("n"),
         QStringLiteral("1200000")},
    });
}

bool Register(HttpSim& web, const QCommandLineParser& parser, QString* error)
{
    const QString description = parser.value(kDescription);
    const QString setup = parser.value(kSetup);
    const QString sha = parser.value(kSha256);
    const qint64 setupSize = parser.value(kSetupSize).toLongLong();
    const int rate = parser.value(kRate).toInt();
    const qint64 updaterSize = parser.value(kUpdaterSize).toLongLong();
    const QByteArray setupName = parser.value(kSetupName).toUtf8();
    if (!OneOf(description,
               {QStringLiteral("newer"), QStringLiteral("none"), QStringLiteral("malformed"),
                QStringLiteral("missing")},
               kDescription, error) ||
        !OneOf(setup,
               {QStringLiteral("whole"), QStringLiteral("short"), QStringLiteral("reset"),
                QStringLiteral("slow")},
               kSetup, error) ||
        !OneOf(sha, {QStringLiteral("none"), QStringLiteral("right"), QStringLiteral("wrong")}, kSha256,
               error))
        return false;
    if (setupSize <= 0 || rate <= 0 || updaterSize <= 0 || setupName.isEmpty() || setupName.contains('/')) {
        *error = QStringLiteral(
            "--update-setup-size, --update-rate, --update-updater-size and --update-setup-name "
            "need positive numbers and a plain file name");
        return false;
    }

    const QByteArray setupPath = "/updates/LastVersion/" + setupName;
    const auto setupBody = std::make_shared<QByteArray>(
        ScriptOfSize("#!/bin/sh\n# stand-in setup program\ntouch \"$0.ran\"\nexit 0\n", setupSize));
    QByteArray digest = QCryptographicHash::hash(*setupBody, QCryptographicHash::Sha256).toHex();
    if (sha == u"wrong")
        digest = QCryptographicHash::hash("something else", QCryptographicHash::Sha256).toHex();

    if (description != u"missing") {
        const QByteArray version = description == u"newer" ? parser.value(kVersion).toUtf8() : "1.0.0.0";
        const bool malformed = description == u"malformed";
        const bool withDigest = sha != u"none";
        web.Route("GET", "/updates/brelmontversion.xml", [=](const HttpRequest& request) {
            QByteArray xml = "<BRELMONT>\r\n  <VERSION>" + version + "</VERSION>\r\n  <SETUP>http://" +
                             request.Header("Host") + setupPath + "</SETUP>\r\n";
            if (withDigest)
                xml += "  <SHA256>" + digest + "</SHA256>\r\n";
            if (!malformed)
                xml += "</BRELMONT>\r\n";
            return HttpResponse::Text(200, "OK", "text/xml", xml);
        });
    }
    web.Route("GET", setupPath, [=](const HttpRequest&) {
        HttpResponse response = HttpResponse::Text(200, "OK", "application/octet-stream", *setupBody);
        if (setup == u"short" || setup == u"reset") {
            response.cutAfter = setupBody->size() / 2;
            response.resetAfterCut = setup == u"reset";
        } else if (setup == u"slow") {
            response.bytesPerSecond = rate;
        }
        return response;
    });
    const auto updaterBody =
        std::make_shared<QByteArray>(ScriptOfSize("#!/bin/sh\n# stand-in updater\nexit 0\n", updaterSize));
    web.Route("GET", "/updates/LastVersion/brelmont-updater", [updaterBody](const HttpRequest&) {
        return HttpResponse::Text(200, "OK", "application/octet-stream", *updaterBody);
    });
    return true;
}

} // namespace UpdateRoutes

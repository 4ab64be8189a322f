// brelmont-provider-sim: a local stand-in for the provider's gateway, for tests and demos.
#include "GatewaySim.h"
#include "HttpSim.h"
#include "ServiceSim.h"
#include "PhoneBookSim.h"
#include "UpdateRoutes.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brelmont-provider-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the SMS provider's gateway on two loopback ports, its web endpoints (the\n"
                       "suggestion page and the remote phone book among them) on one HTTP port and its\n"
                       "service host on the service port. When ready it prints \"gateway-port=P\n"
                       "gateway-fallback-port=F http-port=H service-port=S\" on one line of standard output."));
    parser.addHelpOption();
    const QCommandLineOption host(QStringLiteral("host"), QStringLiteral("Address to listen on."),
                                  QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Primary gateway port (0: any free)."),
                                  QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption fallback(QStringLiteral("fallback-port"),
                                      QStringLiteral("Fallback gateway port (0: any free)."),
                                      QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption primaryClosed(
        QStringLiteral("primary-closed"),
        QStringLiteral("Do not listen on the primary port (connections refused)."));
    const QCommandLineOption fallbackClosed(QStringLiteral("fallback-closed"),
                                            QStringLiteral("Do not listen on the fallback port."));
    const QCommandLineOption accounts(
        QStringLiteral("accounts"),
        QStringLiteral("File of accounts: \"user password credit [reply]\" per line."),
        QStringLiteral("file"));
    const QCommandLineOption account(
        QStringLiteral("account"),
        QStringLiteral("An account user:password:credit[:reply]; the credit in "
                       "thousandths of a euro; reply refuses every submission with "
                       "\"-ERR reply\" (\"_\" for blanks). Repeatable."),
        QStringLiteral("account"));
    const QCommandLineOption priceHigh(
        QStringLiteral("price-high"),
        QStringLiteral("Thousandths charged per high-quality SMS part and recipient."), QStringLiteral("n"),
        QStringLiteral("100"));
    const QCommandLineOption priceMedium(
        QStringLiteral("price-medium"),
        QStringLiteral("Thousandths charged per medium-quality SMS part and recipient."), QStringLiteral("n"),
        QStringLiteral("60"));
    const QCommandLineOption maxSessions(
        QStringLiteral("max-sessions"),
        QStringLiteral("Logged-in connections per account before submissions get "
                       "\"-ERR TOO MANY SESSIONS\" (0: unlimited)."),
        QStringLiteral("n"), QStringLiteral("0"));
    const QCommandLineOption split(QStringLiteral("split-replies"),
                                   QStringLiteral("Send every reply in two pieces this many ms apart."),
                                   QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption log(
        QStringLiteral("log"),
        QStringLiteral("Append a JSON line per accepted submission, service request and "
                       "suggestion to this file."),
        QStringLiteral("file"));
    const QCommandLineOption httpPort(QStringLiteral("http-port"),
                                      QStringLiteral("Port of the web endpoints (0: any free)."),
                                      QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption servicePort(QStringLiteral("service-port"),
                                         QStringLiteral("Port of the service host (0: any free)."),
                                         QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption lookup(
        QStringLiteral("lookup"),
        QStringLiteral("The service's answer to the lookup of NUMBER: %1 (others are found). Repeatable.")
            .arg(ServiceSim::ReplyNames().join(QStringLiteral(", "))),
        QStringLiteral("NUMBER:REPLY"));
    const QCommandLineOption suggestionReply(
        QStringLiteral("suggestion-reply"),
        QStringLiteral("What the suggestion page answers: ok (+OK), error (-ERR) or stall (nothing)."),
        QStringLiteral("reply"), QStringLiteral("ok"));

    const QCommandLineOption phoneBookContacts(
        QStringLiteral("phonebook-contacts"),
        QStringLiteral("Contacts to add to the remote phone book's main folder besides its four."),
        QStringLiteral("n"), QStringLiteral("0"));
    parser.addOptions({host, port, fallback, httpPort, servicePort, primaryClosed, fallbackClosed, accounts,
                       account, priceHigh, priceMedium, maxSessions, split, log, lookup, suggestionReply,
                       phoneBookContacts});
    UpdateRoutes::AddOptions(parser);
    parser.process(app);

    QTextStream err(stderr);
    GatewaySim::Options options;
    options.host = parser.value(host);
    options.port = static_cast<quint16>(parser.value(port).toUInt());
    options.fallbackPort = static_cast<quint16>(parser.value(fallback).toUInt());
    options.primaryClosed = parser.isSet(primaryClosed);
    options.fallbackClosed = parser.isSet(fallbackClosed);
    options.priceHigh = parser.value(priceHigh).toLongLong();
    options.priceMedium = parser.value(priceMedium).toLongLong();
    options.maxSessions = parser.value(maxSessions).toInt();
    options.splitReplyMs = parser.value(split).toInt();
    options.logPath = parser.value(log);

    GatewaySim sim(options);
    QString error;
    if (parser.isSet(accounts) && !sim.LoadAccounts(parser.value(accounts), &error)) {
        err << error << '\n';
        return 2;
    }
    for (const QString& value : parser.values(account)) {
        const auto parsed = GatewaySim::ParseAccount(value, u':');
        if (!parsed) {
            err << "bad --account " << value << '\n';
            return 2;
        }
        sim.AddAccount(parsed->first, parsed->second);
    }
    if (!sim.Start(&error)) {
        err << error << '\n';
        return 1;
    }
    ServiceSim::Options serviceOptions;
    serviceOptions.host = options.host;
    serviceOptions.port = static_cast<quint16>(parser.value(servicePort).toUInt());
    serviceOptions.logPath = options.logPath;
    serviceOptions.suggestionReply = parser.value(suggestionReply);
    if (!QStringList{QStringLiteral("ok"), QStringLiteral("error"), QStringLiteral("stall")}.contains(
            serviceOptions.suggestionReply)) {
        err << "bad --suggestion-reply " << serviceOptions.suggestionReply << '\n';
        return 2;
    }
    ServiceSim services(serviceOptions, [&sim](const QString& user) { return sim.PasswordOf(user); });
    for (const QString& value : parser.values(lookup)) {
        const qsizetype colon = value.lastIndexOf(u':');
        const auto reply = ServiceSim::ParseReplyName(value.mid(colon + 1));
        if (colon <= 0 || !reply) {
            err << "bad --lookup " << value << '\n';
            return 2;
        }
        services.SetLookupReply(value.left(colon), *reply);
    }
    if (!services.Start(&error)) {
        err << error << '\n';
        return 1;
    }
    HttpSim web;
    web.Route("POST", "/brelmont_suggestion.aspx",
              [&services](const HttpRequest& request) { return services.HandleSuggestion(request); });
    PhoneBookSim phoneBook;
    phoneBook.AddGeneratedContacts(parser.value(phoneBookContacts).toInt());
    phoneBook.Register(web);
    if (!UpdateRoutes::Register(web, parser, &error)) {
        err << error << '\n';
        return 2;
    }
    if (!web.Start(options.host, static_cast<quint16>(parser.value(httpPort).toUInt()), &error)) {
        err << error << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << "gateway-port=" << sim.Port() << " gateway-fallback-port=" << sim.FallbackPort()
        << " http-port=" << web.Port() << " service-port=" << services.Port() << Qt::endl;
    return app.exec();
}

#include "cli/CliCommand.h"

#include <QCommandLineParser>
#include <QFile>

std::optional<QString> ReadInputText(QIODevice* input, CliIo io)
{
    QFile in;
    if (!input) {
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            io.err << "brelmont-cli: cannot read standard input\n";
            return std::nullopt;
        }
        input = &in;
    }
    QString text = QString::fromUtf8(input->readAll());
    // The line break that ends a file or an echo is not part of the text.
    if (text.endsWith(u'\n'))
        text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : 1);
    return text;
}

bool ParseCliOptions(QCommandLineParser& parser, const QString& command, const QStringList& args, CliIo io)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    // The parser takes the first word for the program's name.
    if (!parser.parse(QStringList{command} + args)) {
        io.err << "brelmont-cli " << command << ": " << parser.errorText() << '\n';
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        io.err << "brelmont-cli " << command << ": unexpected argument "
               << parser.positionalArguments().first() << '\n';
        return false;
    }
    return true;
}

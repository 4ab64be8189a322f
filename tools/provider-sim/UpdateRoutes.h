#pragma once

#include <QString>

class HttpSim;
class QCommandLineParser;

// The maker's update files on the stand-in's HTTP port: the description
// "/updates/brelmontversion.xml", the setup program it names and the updater, each played
// whole, cut short, reset or slow as the command line asks.
namespace UpdateRoutes {

// Adds the --update-* options.
void AddOptions(QCommandLineParser& parser);
// Registers the routes as the parsed options say; false with a message for a bad value.
bool Register(HttpSim& web, const QCommandLineParser& parser, QString* error);

} // namespace UpdateRoutes

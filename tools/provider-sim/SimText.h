#pragma once

#include <QByteArray>
#include <QString>

// The stand-in's own Windows-1252 reading of what clients send.
QString DecodeCp1252(const QByteArray& bytes);

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs a tool to its end; its standard output. exitCode is -1 when it did not end normally.
QByteArray RunTool(const QString &program, const QStringList &arguments, int *exitCode);

// Makes the Debian package of the build in buildFolder with cpack, in folder/out, and unpacks it
// into folder/tree. The package's path, or empty when either failed.
QString MakeDebianPackage(const QString &buildFolder, const QString &folder);

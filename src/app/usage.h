#pragma once

#include <QString>
#include <QStringList>

// Whether the first argument asks for the usage text (--help or -h).
bool IsHelpRequest(const QStringList &arguments);

// Whether the first argument asks for the version (--version).
bool IsVersionRequest(const QStringList &arguments);

// The usage text for the name the program was started by, naming the files kept at basePath.
QString UsageText(const QString &programName, const QString &basePath);

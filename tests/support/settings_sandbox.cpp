#include "settings_sandbox.h"

#include "settings/base_path.h"
#include "opdate/opdate.h"

#include <QFile>

bool WriteFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

QByteArray FileContents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ResetHourOffsets()
{
    LocalOffset = 0;
    UtcOffset.reset();
}

SettingsSandbox::SettingsSandbox()
{
    BasePath = lockPath();
    ResetHourOffsets();
}

#pragma once

#include "support/unprivileged_user.h"

#include <QFile>
#include <QTest>

#include <unistd.h>

// The ways a settings path can lead to a file the running user (root in these rows) does or
// does not own. Giving files away needs root; suites skip these rows otherwise.
inline void addOwnerRows()
{
    QTest::addColumn<bool>("linked");
    QTest::addColumn<uid_t>("linkOwner");
    QTest::addColumn<uid_t>("fileOwner");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("own link to own file") << true << uid_t(0) << uid_t(0) << true;
    QTest::newRow("foreign link to own file") << true << NobodyId << uid_t(0) << false;
    QTest::newRow("own link to foreign file") << true << uid_t(0) << NobodyId << false;
    QTest::newRow("foreign file") << false << uid_t(0) << NobodyId << false;
}

// Writes contents to file and, for a linked row, makes path a symbolic link to it; gives each
// the owner the row names. Needs root.
inline void placeOwnerRow(const QString &path, const QString &file, const QByteArray &contents)
{
    QFETCH(bool, linked);
    QFETCH(uid_t, linkOwner);
    QFETCH(uid_t, fileOwner);
    QFile out(linked ? file : path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(contents);
    out.close();
    QVERIFY(::chown(QFile::encodeName(out.fileName()).constData(), fileOwner, fileOwner) == 0);
    if (linked) {
        QVERIFY(QFile::link(file, path));
        QVERIFY(::lchown(QFile::encodeName(path).constData(), linkOwner, linkOwner) == 0);
    }
}

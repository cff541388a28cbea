#include "install_tree.h"

#include "support/settings_sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QXmlStreamReader>

const QString InstalledProgram = QStringLiteral("lib/clocksaver/clocksaver.scr");

namespace {

// desktop-file-validate's complaints; hints (such as screen-saver entries having no main
// category, as XScreenSaver's own have none) only where they are allowed.
QString validationFault(const QString &entry, bool hintsAllowed)
{
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start(QStringLiteral("desktop-file-validate"), {entry});
    if (!validate.waitForFinished(30000))
        return QStringLiteral("desktop-file-validate did not finish");
    QStringList complaints = QString::fromUtf8(validate.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (hintsAllowed)
        complaints.removeIf([](const QString &line) { return line.contains(QStringLiteral(": hint: ")); });
    if (validate.exitCode() != 0 || !complaints.isEmpty())
        return entry + QStringLiteral(": ") + complaints.join(QLatin1Char(' '));
    return {};
}

void checkEntry(QStringList &faults, const QString &root, const QString &entry, const QByteArray &exec, bool hintsAllowed)
{
    const QByteArray text = FileContents(root + entry);
    if (!text.contains("\nExec=" + exec + '\n'))
        faults << entry + QStringLiteral(" does not run ") + QString::fromUtf8(exec);
    if (!text.contains("\nIcon=clocksaver\n"))
        faults << entry + QStringLiteral(" has not the program's icon");
    const QString invalid = validationFault(root + entry, hintsAllowed);
    if (!invalid.isEmpty())
        faults << invalid;
}

// Well-formed, and naming a program that XScreenSaver finds in its folder of the tree.
void checkXScreenSaverDescription(QStringList &faults, const QString &root)
{
    const QString path = root + QStringLiteral("/share/xscreensaver/config/clocksaver.xml");
    QXmlStreamReader xml(FileContents(path));
    QString name, label, argument, description;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("screensaver")) {
            name = xml.attributes().value(QLatin1String("name")).toString();
            label = xml.attributes().value(QLatin1String("_label")).toString();
        } else if (xml.name() == QLatin1String("command")) {
            argument = xml.attributes().value(QLatin1String("arg")).toString();
        } else if (xml.name() == QLatin1String("_description")) {
            description = xml.readElementText().simplified();
        }
    }
    if (xml.hasError())
        faults << path + QStringLiteral(": ") + xml.errorString();
    const QFileInfo program(root + QStringLiteral("/libexec/xscreensaver/") + name);
    if (name.isEmpty()
        || program.canonicalFilePath() != QFileInfo(root + QLatin1Char('/') + InstalledProgram).canonicalFilePath())
        faults << QStringLiteral("XScreenSaver's description names \"%1\", not a link to the program").arg(name);
    if (label != QLatin1String("Clocksaver") || argument != QLatin1String("-root") || description.isEmpty())
        faults << QStringLiteral("XScreenSaver's description: label \"%1\", argument \"%2\", text \"%3\"")
                      .arg(label, argument, description);
}

} // namespace

QStringList installTreeFaults(const QString &root, const QString &prefix)
{
    QStringList faults;
    if (!QFileInfo(root + QLatin1Char('/') + InstalledProgram).isExecutable())
        faults << QStringLiteral("no program at ") + InstalledProgram;
    if (!QFileInfo(root + QStringLiteral("/libexec/xscreensaver/clocksaver")).isSymLink())
        faults << QStringLiteral("no link in libexec/xscreensaver");
    const QFileInfo command(root + QStringLiteral("/bin/clocksaver"));
    if (!command.isSymLink() || command.canonicalFilePath() != QFileInfo(root + '/' + InstalledProgram).canonicalFilePath())
        faults << QStringLiteral("bin/clocksaver is no link to the program");
    if (QFileInfo(root + QStringLiteral("/share/man/man1/clocksaver.1.gz")).size() == 0)
        faults << QStringLiteral("no manual page");
    checkXScreenSaverDescription(faults, root);

    const QByteArray program = '"' + QFile::encodeName(prefix + QLatin1Char('/') + InstalledProgram) + '"';
    checkEntry(faults, root, QStringLiteral("/share/applications/clocksaver.desktop"), program + " /C", false);
    // MATE's screen saver runs display programs only from its engine folders under /usr.
    const QString mateEntry = QStringLiteral("/share/applications/screensavers/clocksaver.desktop");
    if (prefix == QLatin1String("/usr"))
        checkEntry(faults, root, mateEntry, "/usr/libexec/xscreensaver/clocksaver -root", true);
    else if (QFile::exists(root + mateEntry))
        faults << mateEntry + QStringLiteral(" under a prefix where MATE would show a black screen");

    for (const int size : {32, 256}) {
        const QString icon = QStringLiteral("/share/icons/hicolor/%1x%1/apps/clocksaver.png").arg(size);
        if (QImage(root + icon).size() != QSize(size, size))
            faults << icon + QStringLiteral(" is not a picture of its size");
    }
    return faults;
}

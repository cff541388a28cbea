// The books of two shared-memory buffers over a 100x100 picture, step by step: "c X Y W H" draws
// a box, "s B" brings buffer B up to date and shows it, "r B" is the compositor releasing it;
// "next B" expects the buffer to use next (-1: none free), "lack B X Y W H..." what buffer B still
// lacks ("lack B -": nothing), "dmg X Y W H..." the damage of the last show.

#include "wayland/buffer_book.h"

#include <QTest>

class TestBufferBook : public QObject
{
    Q_OBJECT

private slots:
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        const char *whole = "0 0 100 100";
        QTest::newRow("the first show carries the whole picture; the other buffer lacks it all")
            << QStringLiteral("next 0; lack 0 %1; s 0; dmg %1; next 1; lack 1 %1; lack 0 -").arg(whole);
        QTest::newRow("a held buffer is not written, even when it lacks least")
            << QStringLiteral("s 0; c 5 5 2 2; next 1; lack 0 5 5 2 2; s 1; dmg 5 5 2 2; next -1; lack 1 -");
        QTest::newRow("released, the buffer shown last is brought up to date by the new boxes only")
            << QStringLiteral("s 0; r 0; c 1 1 3 3; next 0; lack 0 1 1 3 3; lack 1 %1; s 0; dmg 1 1 3 3").arg(whole);
        QTest::newRow("the back buffer takes the boxes drawn since it was last shown, the damage only the newest")
            << QStringLiteral(
                   "s 0; c 0 0 10 10; s 1; r 0; c 20 20 5 5; next 0; lack 0 0 0 10 10 20 20 5 5; s 0; dmg 20 20 5 5");
        QTest::newRow("both held: nothing free until one is released; boxes wait and add up")
            << QStringLiteral("s 0; c 0 0 1 1; s 1; c 50 0 1 1; c 0 0 1 1; next -1; r 1; next 1; s 1; dmg 0 0 1 1 50 0 1 1");
        QTest::newRow("a new surface takes the whole picture, once the compositor lets a buffer go")
            << QStringLiteral("s 0; s 1; new; next -1; r 1; next 1; lack 1 %1; s 1; dmg %1").arg(whole);
    }

    void steps()
    {
        QFETCH(QString, steps);
        BufferBook book;
        book.reset(QSize(100, 100));
        QRegion damage;
        for (const QString &step : steps.split(QStringLiteral("; "))) {
            const QStringList word = step.split(QLatin1Char(' '));
            // The boxes from this word on.
            const auto box = [&](int first) {
                QRegion boxes;
                for (int at = first; at + 3 < word.size(); at += 4)
                    boxes += QRect(word[at].toInt(), word[at + 1].toInt(), word[at + 2].toInt(), word[at + 3].toInt());
                return boxes;
            };
            const int buffer = word.value(1).toInt();
            if (word[0] == QLatin1String("c"))
                book.changed(box(1).boundingRect());
            else if (word[0] == QLatin1String("s"))
                damage = book.shown(buffer);
            else if (word[0] == QLatin1String("r"))
                book.released(buffer);
            else if (word[0] == QLatin1String("new"))
                book.reset(QSize(100, 100));
            else if (word[0] == QLatin1String("next"))
                QVERIFY2(book.next() == buffer, qPrintable(step));
            else if (word[0] == QLatin1String("lack"))
                QVERIFY2(book.lacking(buffer) == box(2), qPrintable(step));
            else if (word[0] == QLatin1String("dmg"))
                QVERIFY2(damage == box(1), qPrintable(step));
            else
                QFAIL(qPrintable(step));
        }
        QVERIFY(!book.pending());
    }
};

QTEST_GUILESS_MAIN(TestBufferBook)
#include "test_buffer_book.moc"

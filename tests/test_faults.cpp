// Faults met through the main window, end to end: every failed Save as or Open shows one message
// naming the file, loses nothing, leaves no stray file behind, and the window goes on working.
// FIFOs, devices, a file-size limit and acting as another user are POSIX's alone.
#include "form2.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

using namespace testutil;

namespace {

void setMode(const QString& path, mode_t mode) {
    QVERIFY2(chmod(QFile::encodeName(path).constData(), mode) == 0, qPrintable(path));
}

// Every name under a folder, hidden ones too, with what a file holds, so a forgotten temporary
// file or a changed one shows. Only regular files are read (opening a FIFO would block).
QStringList snapshot(const QString& folder) {
    QStringList seen;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString kind = entry.isDir()    ? QStringLiteral("folder")
                             : entry.isFile() ? QString::number(qHash(readBytes(it.filePath())))
                                              : QStringLiteral("special");
        seen << entry.filePath() + ' ' + kind;
    }
    seen.sort();
    return seen;
}

enum Prep : int {
    Old = 1,          // the target holds a player's old set-up
    Huge = 2,         // the target is a sparse file over the reader's 16 MiB limit
    ReadOnly = 4,     // mode 0444
    LockedFolder = 8, // the target's folder has mode 0555
    Folder = 16,
    Fifo = 32,
    BadValue = 64,     // a field holds a value the file cannot hold
    Unreadable = 128,  // mode 0
    ManyEntries = 256, // 2,001 entries
    Device = 512,      // a character device like /dev/null (needs root)
    Nobody = 1024,     // the command runs as the unprivileged user "nobody"
    DiskFull = 2048,   // the command may write 100 bytes at most
    LongOld = 4096,    // the target holds 5,000 bytes, more than a saved set-up
};

#ifdef Q_OS_UNIX
// For the length of a command: as root, the unprivileged user "nobody", since permission checks
// mean nothing to root; and a limit on file size, which stands in for a full disk. Only the
// effective ids change, so root takes its own back afterwards.
class Restricted {
public:
    explicit Restricted(int prep) : dropped_((prep & Nobody) && !geteuid()) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        if (prep & DiskFull) {
            std::signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails with EFBIG
            const rlimit limit{100, saved_.rlim_max};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (dropped_ && (setegid(65534) != 0 || seteuid(65534) != 0))
            qFatal("cannot act as nobody");
    }
    ~Restricted() {
        if (dropped_ && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot return to root");
        setrlimit(RLIMIT_FSIZE, &saved_);
    }

private:
    rlimit saved_{};
    const bool dropped_;
};
#endif

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() {
        e.emplace();
        setMode(e->dir.path(), 0777); // so the cases that act as "nobody" can work in it
        const QString start = e->dir.filePath(QStringLiteral("start.str"));
        QVERIFY(writeBytes(start, testutil::golden("full.str")));
        e->run("mnuImport", start);
        e->window.record().setValue(3, QStringLiteral("typed, not yet saved"));
        QVERIFY(QFile::remove(start));
    }
    void cleanup() {
        for (QDirIterator it(e->dir.path(), QDir::Dirs | QDir::NoDotAndDotDot); it.hasNext();)
            setMode(it.next(), 0700);
        e.reset();
    }

    void faults_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("prep");
        QTest::addColumn<QString>("reason");
        const auto save = [](const char* name) -> QTestData& {
            return QTest::newRow(name) << "mnuSave";
        };
        const auto open = [](const char* name) -> QTestData& {
            return QTest::newRow(name) << "mnuImport";
        };
        save("save: read-only file") << "old.str" << (Old | ReadOnly) << "read-only";
        save("save: folder") << "folder.str" << int(Folder) << "folder";
        save("save: missing folder") << "gone/new.str" << 0 << "";
        save("save: value the file cannot hold") << "old.str" << (Old | BadValue) << "Toe In, L-F";
        open("open: missing") << "missing.str" << 0 << "not exist";
        open("open: folder") << "folder.str" << int(Folder) << "folder";
        open("open: too large") << "huge.str" << int(Huge) << "too large";
        open("open: more than 2000 entries")
            << "many.str" << int(ManyEntries) << "more than 2000 entries";
#ifdef Q_OS_UNIX
        save("save: disk full") << "old.str" << (Old | DiskFull) << "File too large";
        save("save: disk full, in place")
            << "locked/old.str" << (Old | LockedFolder | Nobody | DiskFull) << "File too large";
        save("save: in place, old file too large")
            << "locked/huge.str" << (Huge | LockedFolder | Nobody) << "too large";
        // A game folder may let a player change a file but not create one beside it.
        save("save: in place in a read-only folder")
            << "locked/old.str" << (LongOld | LockedFolder | Nobody) << QString();
        save("save: new name in a read-only folder")
            << "locked/new.str" << (LockedFolder | Nobody) << "";
        save("save: FIFO") << "pipe.str" << int(Fifo) << "not a regular file";
        if (geteuid() == 0) // making a device node needs root
            save("save: device") << "null.str" << int(Device) << "not a regular file";
        open("open: FIFO") << "pipe.str" << int(Fifo) << "not a regular file";
        open("open: device") << "/dev/zero" << 0 << "not a regular file";
        open("open: unreadable") << "secret.str" << (Unreadable | Nobody) << "";
#endif
    }
    void faults() {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(int, prep);
        QFETCH(QString, reason);

        const QString path = QDir(e->dir.path()).absoluteFilePath(target);
        prepare(prep, path);
        const QStringList before = snapshot(e->dir.path());
        const QByteArray values = testutil::encoded(e->window.record());
        {
#ifdef Q_OS_UNIX
            const Restricted restricted(prep);
#endif
            e->run(qPrintable(command), path);
        }
        if (reason.isNull()) { // saved, with nothing left of the longer old file
            QCOMPARE(e->messages, QStringList());
            QCOMPARE(readBytes(path), testutil::encoded(e->window.record()));
            QCOMPARE(snapshot(e->dir.path()).size(), before.size());
            return;
        }
        const QString opening = QStringLiteral("Cannot %1 \"%2\"")
                                    .arg(command == QLatin1String("mnuSave") ? "save" : "open",
                                         QDir::toNativeSeparators(path));
        QVERIFY2(e->messages.size() == 1 && e->messages[0].startsWith(opening) &&
                     e->messages[0].contains(reason),
                 qPrintable(e->messages.join(QLatin1Char('\n'))));
        QCOMPARE(snapshot(e->dir.path()), before);
        QCOMPARE(testutil::encoded(e->window.record()), values);
        QCOMPARE(e->window.printLayout().path(), e->dir.filePath(QStringLiteral("start.str")));

        // The window goes on: Save as to a good path writes what the boxes hold.
        if (prep & BadValue)
            e->window.record().setValue(0, QStringLiteral("tilf 4.5"));
        const QString good = e->dir.filePath(QStringLiteral("good.str"));
        e->run("mnuSave", good);
        QCOMPARE(e->messages.size(), 1);
        QCOMPARE(readBytes(good), testutil::encoded(e->window.record()));
    }

private:
    void prepare(int prep, const QString& path) {
        const QString folder = QFileInfo(path).absolutePath();
        if (prep & LockedFolder)
            QVERIFY(QDir().mkpath(folder));
        if (prep & (Old | Unreadable))
            QVERIFY(writeBytes(path, "the player's old set-up, kept whole\r\n"));
        if (prep & LongOld)
            QVERIFY(writeBytes(path, QByteArray(5000, 'x')));
        if (prep & ManyEntries)
            QVERIFY(writeBytes(path, QByteArray("[other]\r\n").repeated(2001)));
        if (prep & Huge) {
            QFile huge(path); // sparse: takes no room on disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(16 * 1024 * 1024 + 1));
        }
        if (prep & Folder)
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (prep & Fifo)
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
        if (prep & Device)
            QVERIFY(mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
#endif
        if (prep & (ReadOnly | Unreadable))
            setMode(path, prep & ReadOnly ? 0444 : 0);
        if ((prep & (Huge | Old | LongOld)) && (prep & LockedFolder))
            setMode(path, 0666);
        if (prep & LockedFolder)
            setMode(folder, 0555);
        if (prep & BadValue)
            e->window.record().setValue(0, QStringLiteral("4.5\u00b0 \u2192 toe \u0416"));
    }

    std::optional<uitest::Editor> e;
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"

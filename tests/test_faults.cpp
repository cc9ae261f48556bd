// Faults met through the main window, end to end: every failed Save as or Open shows one message
// naming the file, loses nothing, leaves no stray file behind, and the window goes on working.
// FIFOs, devices, a file-size limit and acting as another user are POSIX's alone.
#include "form2.h"
#include "setupreader.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QDir>
#include <QDirIterator>
#include <QTest>
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

// What a row sets up before its command: what stands at the target, and how.
enum class Target { Nothing, OldSetup, LongFile, HugeFile, ManyEntries, Folder, Fifo, Device };
struct Prep {
    Target target = Target::Nothing;
    int mode = -1;             // the target's mode, when set
    bool lockedFolder = false; // the target's folder has mode 0555
    bool badValue = false;     // a field holds a value the file cannot hold
    bool nobody = false;       // the command runs as the unprivileged user "nobody"
    bool diskFull = false;     // the command may write 100 bytes at most
};

#ifdef Q_OS_UNIX
// For the length of a command: as root, the unprivileged user "nobody", since permission checks
// mean nothing to root; and a limit on file size, which stands in for a full disk. Only the
// effective ids change, so root takes its own back afterwards.
class Restricted {
public:
    explicit Restricted(const Prep& prep) : dropped_(prep.nobody && !geteuid()) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        if (prep.diskFull) {
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

Q_DECLARE_METATYPE(Prep)

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() {
        e.emplace();
        setMode(e->dir.path(), 0777); // so the cases that act as "nobody" can work in it
        QVERIFY(writeBytes(e->path("start.str"), golden("full.str")));
        e->run("mnuImport", e->path("start.str"));
        e->window.record().setValue(3, QStringLiteral("typed, not yet saved"));
        QVERIFY(QFile::remove(e->path("start.str")));
    }
    void cleanup() {
        for (QDirIterator it(e->dir.path(), QDir::Dirs | QDir::NoDotAndDotDot); it.hasNext();)
            setMode(it.next(), 0700);
        e.reset();
    }

    // Rows named "save: ..." run Save as, "open: ..." Open; a null reason: the command succeeds.
    void faults_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<Prep>("prep");
        QTest::addColumn<QString>("reason");
        const auto save = &QTest::newRow, open = &QTest::newRow;
        using enum Target;
        save("save: read-only file") << "old.str" << Prep{OldSetup, 0444} << "read-only";
        save("save: folder") << "folder.str" << Prep{Folder} << "folder";
        save("save: missing folder") << "gone/new.str" << Prep{} << "";
        save("save: value the file cannot hold")
            << "old.str" << Prep{.target = OldSetup, .badValue = true} << "Toe In, L-F";
        open("open: missing") << "missing.str" << Prep{} << "not exist";
        open("open: folder") << "folder.str" << Prep{Folder} << "folder";
        open("open: too large") << "huge.str" << Prep{HugeFile} << "too large";
        open("open: too many entries")
            << "many.str" << Prep{ManyEntries}
            << QStringLiteral("more than %1 entries").arg(rigtune::MaxEntries);
#ifdef Q_OS_UNIX
        save("save: disk full") << "old.str" << Prep{.target = OldSetup, .diskFull = true}
                                << "File too large";
        save("save: disk full, in place")
            << "locked/old.str"
            << Prep{.target = OldSetup, .lockedFolder = true, .nobody = true, .diskFull = true}
            << "File too large";
        save("save: in place, old file too large")
            << "locked/huge.str" << Prep{.target = HugeFile, .lockedFolder = true, .nobody = true}
            << "too large";
        // A game folder may let a player change a file but not create one beside it.
        save("save: in place in a read-only folder")
            << "locked/old.str" << Prep{.target = LongFile, .lockedFolder = true, .nobody = true}
            << QString();
        save("save: new name in a read-only folder")
            << "locked/new.str" << Prep{.lockedFolder = true, .nobody = true} << "";
        save("save: FIFO") << "pipe.str" << Prep{Fifo} << "not a regular file";
        if (geteuid() == 0) // making a device node needs root
            save("save: device") << "null.str" << Prep{Device} << "not a regular file";
        open("open: FIFO") << "pipe.str" << Prep{Fifo} << "not a regular file";
        open("open: device") << "/dev/zero" << Prep{} << "not a regular file";
        open("open: unreadable") << "secret.str"
                                 << Prep{.target = OldSetup, .mode = 0, .nobody = true} << "";
#endif
    }
    void faults() {
        const bool save = QByteArray(QTest::currentDataTag()).startsWith("save");
        const char* command = save ? "mnuSave" : "mnuImport";
        QFETCH(QString, target);
        QFETCH(Prep, prep);
        QFETCH(QString, reason);

        const QString path = QDir(e->dir.path()).absoluteFilePath(target);
        prepare(prep, path);
        const auto boxes = [this] { return encoded(e->window.record()); };
        const QStringList before = snapshot(e->dir.path());
        const QByteArray values = boxes();
        {
#ifdef Q_OS_UNIX
            const Restricted restricted(prep);
#endif
            e->run(command, path);
        }
        if (reason.isNull()) { // saved, with nothing left of the longer old file
            QCOMPARE(e->messages, QStringList());
            QCOMPARE(readBytes(path), boxes());
            QCOMPARE(snapshot(e->dir.path()).size(), before.size());
            return;
        }
        const QString opening = QStringLiteral("Cannot %1 \"%2\"")
                                    .arg(save ? "save" : "open", QDir::toNativeSeparators(path));
        QCOMPARE(e->messages.size(), 1);
        QVERIFY2(e->messages[0].startsWith(opening) && e->messages[0].contains(reason),
                 qPrintable(e->messages[0]));
        QCOMPARE(snapshot(e->dir.path()), before);
        QCOMPARE(boxes(), values);
        QCOMPARE(e->window.printLayout().path(), e->path("start.str"));

        // The window goes on: Save as to a good path writes what the boxes hold.
        if (prep.badValue)
            e->window.record().setValue(0, QStringLiteral("tilf 4.5"));
        e->run("mnuSave", e->path("good.str"));
        QCOMPARE(e->messages.size(), 1);
        QCOMPARE(readBytes(e->path("good.str")), boxes());
    }

private:
    void prepare(const Prep& prep, const QString& path) {
        const QString folder = QFileInfo(path).absolutePath();
        const QByteArray name = QFile::encodeName(path);
        if (prep.lockedFolder)
            QVERIFY(QDir().mkpath(folder));
        using enum Target;
        if (prep.target == OldSetup)
            QVERIFY(writeBytes(path, "the player's old set-up, kept whole\r\n"));
        if (prep.target == LongFile) // longer than a saved set-up: a tail left behind would show
            QVERIFY(writeBytes(path, QByteArray(5000, 'x')));
        if (prep.target == ManyEntries)
            QVERIFY(writeBytes(path, QByteArray("[other]\r\n").repeated(rigtune::MaxEntries + 1)));
        if (QFile huge(path); prep.target == HugeFile) // sparse: takes no room on disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(rigtune::MaxFileSize + 1));
        if (prep.target == Folder)
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (prep.target == Fifo)
            QVERIFY(mkfifo(name.constData(), 0666) == 0);
        if (prep.target == Device)
            QVERIFY(mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
#endif
        if (prep.mode >= 0)
            setMode(path, mode_t(prep.mode));
        if (prep.lockedFolder && QFileInfo(path).isFile())
            setMode(path, 0666); // a file the user may change in a folder it may not
        if (prep.lockedFolder)
            setMode(folder, 0555);
        if (prep.badValue)
            e->window.record().setValue(0, QStringLiteral("4.5\u00b0 \u2192 toe \u0416"));
    }

    std::optional<uitest::Editor> e;
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"

// Faults met through the main window, end to end: every failed Save as or Open shows one message
// naming the file, loses nothing, leaves no stray file behind, and the window goes on working.
// FIFOs, devices, a file-size limit and acting as another user are POSIX's alone.
#include "form2.h"
#include "setupwriter.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>
#ifdef Q_OS_UNIX
#include <sys/sysmacros.h>
#endif

using namespace rigtune;
using testutil::encoded;
using testutil::golden;
using testutil::readBytes;
using testutil::writeBytes;

namespace {

const QByteArray OldBytes = "the player's old set-up, kept whole\r\n";
constexpr qint64 OverSizeLimit = 16 * 1024 * 1024 + 1;

QStringList valuesOf(const SetupRecord& record) {
    QStringList values;
    for (std::size_t i = 0; i < FieldCount; ++i)
        values << record.value(i);
    return values;
}

// Every name under a folder, hidden ones too, so a forgotten temporary file shows.
QStringList namesUnder(const QString& folder) {
    QStringList names;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(filter, QDir::Name)) {
        names << entry.fileName();
        if (entry.isDir())
            for (const QString& inner : namesUnder(entry.filePath()))
                names << entry.fileName() + QLatin1Char('/') + inner;
    }
    return names;
}

void setMode(const QString& path, mode_t mode) {
    QVERIFY2(chmod(QFile::encodeName(path).constData(), mode) == 0, qPrintable(path));
}

// What is at path: the bytes of a regular file, or the kind of anything else (never opened, as
// opening a FIFO would block).
QByteArray contentOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return "<missing>";
    return info.isDir() ? "<folder>" : info.isFile() ? readBytes(path) : "<special>";
}

enum Prep : int {
    Old = 1,           // the target holds OldBytes
    Huge = 2,          // the target is a sparse file over the reader's size limit
    ReadOnly = 4,      // the target's mode is 0444
    LockedFolder = 8,  // the target's folder is 0555
    Folder = 16,       // the target is a folder
    Fifo = 32,         // the target is a FIFO
    Device = 64,       // the target is a character device like /dev/null (needs root)
    BadValue = 128,    // a field holds a value the file cannot hold
    Unreadable = 256,  // the target's mode is 0
    ManyEntries = 512, // the target holds 2,001 entries
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() {
        e.emplace();
        setMode(e->dir.path(), 0777); // so the cases that act as "nobody" can work in it
        const QString start = e->dir.filePath(QStringLiteral("start.str"));
        QVERIFY(writeBytes(start, golden("full.str")));
        e->run("mnuImport", start);
        e->window.setValue(3, QStringLiteral("typed, not yet saved"));
        QVERIFY(QFile::remove(start));
    }
    void cleanup() {
        for (const QString& name : namesUnder(e->dir.path()))
            if (QFileInfo(e->dir.filePath(name)).isDir())
                setMode(e->dir.filePath(name), 0700);
        e.reset();
    }

    void saveFaults_data() {
        QTest::addColumn<int>("prep");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("unprivileged");
        QTest::addColumn<int>("fileSizeLimit");
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file")
            << (Old | ReadOnly) << "old.str" << false << 0 << "read-only";
        QTest::newRow("folder") << int(Folder) << "folder.str" << false << 0 << "folder";
        QTest::newRow("missing folder") << 0 << "gone/new.str" << false << 0 << "";
        QTest::newRow("value the file cannot hold")
            << (Old | BadValue) << "old.str" << false << 0 << "Toe In, L-F";
#ifdef Q_OS_UNIX
        QTest::newRow("disk full") << int(Old) << "old.str" << false << 100 << "File too large";
        QTest::newRow("disk full, saved in place")
            << (Old | LockedFolder) << "locked/old.str" << true << 100 << "File too large";
        QTest::newRow("in place, old file over the size limit")
            << (Huge | LockedFolder) << "locked/huge.str" << true << 0 << "too large";
        QTest::newRow("new name in a read-only folder")
            << int(LockedFolder) << "locked/new.str" << true << 0 << "";
        QTest::newRow("FIFO") << int(Fifo) << "pipe.str" << false << 0 << "not a regular file";
        QTest::newRow("device") << int(Device) << "null.str" << false << 0 << "not a regular file";
#endif
    }
    void saveFaults() {
        QFETCH(int, prep);
        QFETCH(QString, target);
        QFETCH(bool, unprivileged);
        QFETCH(int, fileSizeLimit);
        QFETCH(QString, reason);

#ifdef Q_OS_UNIX
        if ((prep & Device) && geteuid() != 0)
            QSKIP("making a device node needs root");
#endif
        const QString path = e->dir.filePath(target);
        prepare(prep, path);
        const QByteArray before = contentOf(path);
        const QStringList names = namesUnder(e->dir.path());
        const QStringList values = valuesOf(e->window);
        {
            const testutil::Restricted restricted(unprivileged, fileSizeLimit);
            e->run("mnuSave", path);
        }
        expectOneMessage(QStringLiteral("Cannot save \"%1\""), path, reason);
        QCOMPARE(contentOf(path), before);
        QCOMPARE(namesUnder(e->dir.path()), names);
        QCOMPARE(valuesOf(e->window), values);

        // The window goes on: Save as to a good path writes what the boxes hold.
        if (prep & BadValue)
            e->window.setValue(0, QStringLiteral("tilf 4.5"));
        const QString good = e->dir.filePath(QStringLiteral("good.str"));
        e->log.messages.clear();
        e->run("mnuSave", good);
        QCOMPARE(e->log.messages, QStringList());
        QCOMPARE(readBytes(good), encoded(e->window));
    }

#ifdef Q_OS_UNIX
    // A game folder may let a player change a file but not create one beside it.
    void existingWritableFileInReadOnlyFolderIsSavedInPlace() {
        const QString path = e->dir.filePath(QStringLiteral("locked/old.str"));
        prepare(Old | LockedFolder, path);
        setMode(QFileInfo(path).absolutePath(), 0777);
        QVERIFY(writeBytes(path, QByteArray(5000, 'x'))); // longer than the new file: no tail left
        setMode(QFileInfo(path).absolutePath(), 0555);
        const QStringList names = namesUnder(e->dir.path());
        {
            const testutil::Restricted restricted(true, 0);
            e->run("mnuSave", path);
        }
        QCOMPARE(e->log.messages, QStringList());
        QCOMPARE(readBytes(path), encoded(e->window));
        QVERIFY(readBytes(path).contains("toe in = typed, not yet saved\r\n"));
        QCOMPARE(namesUnder(e->dir.path()), names);
    }
#endif

    void openFaults_data() {
        QTest::addColumn<int>("prep");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("unprivileged");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << 0 << "missing.str" << false << "not exist";
        QTest::newRow("folder") << int(Folder) << "folder.str" << false << "folder";
        QTest::newRow("over the size limit") << int(Huge) << "huge.str" << false << "too large";
        QTest::newRow("more than 2000 entries")
            << int(ManyEntries) << "many.str" << false << "more than 2000 entries";
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << int(Fifo) << "pipe.str" << false << "not a regular file";
        QTest::newRow("device") << 0 << "/dev/zero" << false << "not a regular file";
        QTest::newRow("unreadable") << int(Unreadable) << "secret.str" << true << "";
#endif
    }
    void openFaults() {
        QFETCH(int, prep);
        QFETCH(QString, target);
        QFETCH(bool, unprivileged);
        QFETCH(QString, reason);

        const QString path = QDir(e->dir.path()).absoluteFilePath(target);
        prepare(prep, path);
        const QStringList values = valuesOf(e->window);
        const QString sheetPath = e->window.printLayout().path();
        {
            const testutil::Restricted restricted(unprivileged, 0);
            e->run("mnuImport", path);
        }
        expectOneMessage(QStringLiteral("Cannot open \"%1\""), path, reason);
        QCOMPARE(valuesOf(e->window), values);
        QCOMPARE(e->window.printLayout().path(), sheetPath);

        // The window goes on: a good file opens after the bad one.
        const QString good = e->dir.filePath(QStringLiteral("good.str"));
        QVERIFY(writeBytes(good, golden("empty.str")));
        e->run("mnuImport", good);
        QCOMPARE(e->log.messages.size(), 1);
        QCOMPARE(valuesOf(e->window), QStringList(static_cast<qsizetype>(FieldCount), QString()));
        QCOMPARE(e->window.printLayout().path(), good);
    }

private:
    // The failure was told once, naming the file, with its reason.
    void expectOneMessage(const QString& opening, const QString& path, const QString& reason) {
        QCOMPARE(e->log.messages.size(), 1);
        const QString& message = e->log.messages.first();
        QVERIFY2(message.startsWith(opening.arg(QDir::toNativeSeparators(path))),
                 qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    void prepare(int prep, const QString& path) {
        const QByteArray name = QFile::encodeName(path);
        const QString folder = QFileInfo(path).absolutePath();
        if (prep & LockedFolder)
            QVERIFY(QDir().mkpath(folder));
        if (prep & Old)
            QVERIFY(writeBytes(path, OldBytes));
        if (prep & ManyEntries)
            QVERIFY(writeBytes(path, QByteArray("[left front tire]\r\n").repeated(2001)));
        if (prep & Unreadable) {
            QVERIFY(writeBytes(path, golden("empty.str")));
            setMode(path, 0);
        }
        if (prep & Huge) {
            QFile huge(path); // sparse: takes no room on disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(OverSizeLimit));
            setMode(path, 0666);
        }
        if (prep & Folder)
            QVERIFY(QDir().mkpath(path));
#ifdef Q_OS_UNIX
        if (prep & Fifo)
            QVERIFY(mkfifo(name.constData(), 0666) == 0);
        if (prep & Device)
            QVERIFY(mknod(name.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0);
#endif
        if (prep & ReadOnly)
            setMode(path, 0444);
        if (prep & BadValue)
            e->window.setValue(0, QStringLiteral("4.5\u00b0 \u2192 toe \u0416"));
        if (prep & LockedFolder) {
            if (prep & Old)
                setMode(path, 0666);
            setMode(folder, 0555);
        }
    }

    std::optional<uitest::Editor> e;
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"

// Faults met through the main window, end to end: every failed Save as or Open shows one message
// naming the file, loses nothing, leaves no stray file behind, and the window goes on working.
#include "form1.h"
#include "form2.h"
#include "setupwriter.h"
#include "testutil.h"
#include "uitestutil.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/stat.h>

using namespace rigtune;
using testutil::golden;
using testutil::readBytes;
using testutil::writeBytes;
using uitest::trigger;

namespace {

QStringList valuesOf(const SetupRecord& record) {
    QStringList values;
    for (std::size_t i = 0; i < FieldCount; ++i)
        values << record.value(i);
    return values;
}

QByteArray encoded(const SetupRecord& record) {
    QByteArray bytes;
    if (const SetupResult result = EncodeSetupFile(record, bytes); !result.ok())
        qWarning() << result.errorString();
    return bytes;
}

// Every name under a folder, hidden ones too, so a forgotten temporary file shows.
QStringList namesUnder(const QString& folder) {
    QStringList names;
    const QDir root(folder);
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : root.entryInfoList(filter, QDir::Name)) {
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

enum class SaveFault {
    DiskFull,
    DiskFullInPlace,
    ReadOnlyFile,
    NewNameInReadOnlyFolder,
    FolderPath,
    MissingFolder,
    UnencodableValue,
    InPlaceInReadOnlyFolder,
};

enum class OpenFault { Missing, Folder, Fifo, Device, OverSizeLimit, TooManyEntries, Unreadable };

const QByteArray OldBytes = "the player's old set-up, kept whole\r\n";

} // namespace

Q_DECLARE_METATYPE(SaveFault)
Q_DECLARE_METATYPE(OpenFault)

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void init() {
        dir.emplace();
        QVERIFY(dir->isValid());
        // Open to everyone, so the cases that act as "nobody" can still work in it.
        setMode(dir->path(), 0777);
        window.emplace();
        dialogs.emplace();
        log.emplace();
        const QString start = dir->filePath(QStringLiteral("start.str"));
        QVERIFY(writeBytes(start, golden("full.str")));
        dialogs->answers = {start};
        trigger(*window, "mnuImport");
        window->setValue(3, QStringLiteral("typed, not yet saved"));
        QVERIFY(QFile::remove(start));
    }
    void cleanup() {
        log.reset();
        dialogs.reset();
        window.reset();
        // Give every folder back to its owner, so the temporary folder can be removed.
        for (const QString& name : namesUnder(dir->path()))
            if (QFileInfo(dir->filePath(name)).isDir())
                chmod(QFile::encodeName(dir->filePath(name)).constData(), 0700);
        dir.reset();
    }

    void saveFaults_data() {
        QTest::addColumn<SaveFault>("fault");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("unprivileged");
        QTest::addColumn<int>("fileSizeLimit");
        QTest::addColumn<QString>("reason");

#ifdef Q_OS_UNIX
        QTest::newRow("disk full")
            << SaveFault::DiskFull << "old.str" << false << 100 << "File too large";
        QTest::newRow("disk full, saved in place")
            << SaveFault::DiskFullInPlace << "locked/old.str" << true << 100 << "File too large";
        QTest::newRow("read-only file")
            << SaveFault::ReadOnlyFile << "old.str" << true << 0 << "read-only";
        QTest::newRow("new name in a read-only folder")
            << SaveFault::NewNameInReadOnlyFolder << "locked/new.str" << true << 0 << "";
#endif
        QTest::newRow("folder") << SaveFault::FolderPath << "folder.str" << false << 0 << "folder";
        QTest::newRow("missing folder")
            << SaveFault::MissingFolder << "gone/new.str" << false << 0 << "";
        QTest::newRow("value the file cannot hold")
            << SaveFault::UnencodableValue << "old.str" << false << 0 << "Toe In, L-F";
    }

    void saveFaults() {
        QFETCH(SaveFault, fault);
        QFETCH(QString, target);
        QFETCH(bool, unprivileged);
        QFETCH(int, fileSizeLimit);
        QFETCH(QString, reason);

        const QString path = dir->filePath(target);
        prepareSave(fault, path);
        const QByteArray oldBytes = readBytes(path);
        const QStringList names = namesUnder(dir->path());
        const QStringList values = valuesOf(*window);

        dialogs->answers = {path};
        {
            const testutil::Restricted restricted(unprivileged, fileSizeLimit);
            trigger(*window, "mnuSave");
        }
        expectOneMessage(QStringLiteral("Cannot save \"%1\""), path, reason);
        QCOMPARE(readBytes(path), oldBytes);
        QCOMPARE(namesUnder(dir->path()), names);
        QCOMPARE(valuesOf(*window), values);

        if (fault == SaveFault::UnencodableValue)
            window->setValue(0, QStringLiteral("tilf 4.5"));
        expectGoodSave();
    }

#ifdef Q_OS_UNIX
    // A game folder may let a player change a file but not create one beside it.
    void existingWritableFileInReadOnlyFolderIsSavedInPlace() {
        const QString path = dir->filePath(QStringLiteral("locked/old.str"));
        prepareSave(SaveFault::InPlaceInReadOnlyFolder, path);
        const QStringList names = namesUnder(dir->path());
        dialogs->answers = {path};
        {
            const testutil::Restricted restricted(true, 0);
            trigger(*window, "mnuSave");
        }
        QVERIFY2(log->messages.isEmpty(), qPrintable(log->messages.join(QLatin1Char('\n'))));
        QCOMPARE(readBytes(path), encoded(*window));
        QCOMPARE(namesUnder(dir->path()), names);
    }
#endif

    void openFaults_data() {
        QTest::addColumn<OpenFault>("fault");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("unprivileged");
        QTest::addColumn<QString>("reason");

        QTest::newRow("missing") << OpenFault::Missing << "missing.str" << false << "not exist";
        QTest::newRow("folder") << OpenFault::Folder << "folder.str" << false << "folder";
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO") << OpenFault::Fifo << "pipe.str" << false << "not a regular file";
        QTest::newRow("device") << OpenFault::Device << "/dev/zero" << false
                                << "not a regular file";
#endif
        QTest::newRow("over the size limit")
            << OpenFault::OverSizeLimit << "huge.str" << false << "too large";
        QTest::newRow("more than 2000 entries")
            << OpenFault::TooManyEntries << "many.str" << false << "more than 2000 entries";
#ifdef Q_OS_UNIX
        QTest::newRow("unreadable") << OpenFault::Unreadable << "secret.str" << true << "";
#endif
    }

    void openFaults() {
        QFETCH(OpenFault, fault);
        QFETCH(QString, target);
        QFETCH(bool, unprivileged);
        QFETCH(QString, reason);

        const QString path = QDir(dir->path()).absoluteFilePath(target);
        prepareOpen(fault, path);
        const QStringList values = valuesOf(*window);
        const QString sheetPath = window->printLayout().path();

        dialogs->answers = {path};
        {
            const testutil::Restricted restricted(unprivileged, 0);
            trigger(*window, "mnuImport");
        }
        expectOneMessage(QStringLiteral("Cannot open \"%1\""), path, reason);
        QCOMPARE(valuesOf(*window), values);
        QCOMPARE(window->printLayout().path(), sheetPath);

        // The program goes on: a good file opens after the bad one.
        const QString good = dir->filePath(QStringLiteral("good.str"));
        QVERIFY(writeBytes(good, golden("empty.str")));
        dialogs->answers = {good};
        trigger(*window, "mnuImport");
        QCOMPARE(log->messages.size(), 1);
        QCOMPARE(valuesOf(*window), QStringList(static_cast<qsizetype>(FieldCount), QString()));
        QCOMPARE(window->printLayout().path(), good);
    }

private:
    // The failure was told once, naming the file, with its reason.
    void expectOneMessage(const QString& opening, const QString& path, const QString& reason) {
        QCOMPARE(log->messages.size(), 1);
        const QString& message = log->messages.first();
        QVERIFY2(message.startsWith(opening.arg(QDir::toNativeSeparators(path))),
                 qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    void prepareSave(SaveFault fault, const QString& path) {
        const QString folder = QFileInfo(path).absolutePath();
        switch (fault) {
        case SaveFault::DiskFull:
        case SaveFault::UnencodableValue:
            QVERIFY(writeBytes(path, OldBytes));
            if (fault == SaveFault::UnencodableValue)
                window->setValue(0, QStringLiteral("4.5\u00b0 \u2192 toe \u0416"));
            break;
        case SaveFault::ReadOnlyFile:
            QVERIFY(writeBytes(path, OldBytes));
            setMode(path, 0444);
            break;
        case SaveFault::DiskFullInPlace:
        case SaveFault::InPlaceInReadOnlyFolder:
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(writeBytes(path, OldBytes));
            setMode(path, 0666);
            setMode(folder, 0555);
            break;
        case SaveFault::NewNameInReadOnlyFolder:
            QVERIFY(QDir().mkpath(folder));
            setMode(folder, 0555);
            break;
        case SaveFault::FolderPath:
            QVERIFY(QDir().mkpath(path));
            break;
        case SaveFault::MissingFolder:
            break;
        }
    }

    void prepareOpen(OpenFault fault, const QString& path) {
        switch (fault) {
        case OpenFault::Missing:
        case OpenFault::Device:
            break;
        case OpenFault::Folder:
            QVERIFY(QDir().mkpath(path));
            break;
        case OpenFault::Fifo:
#ifdef Q_OS_UNIX
            QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0666) == 0);
#endif
            break;
        case OpenFault::OverSizeLimit: {
            QFile huge(path); // sparse: takes no room on disk
            QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(16 * 1024 * 1024 + 1));
            break;
        }
        case OpenFault::TooManyEntries:
            QVERIFY(writeBytes(path, QByteArray("[left front tire]\r\n").repeated(2001)));
            break;
        case OpenFault::Unreadable:
            QVERIFY(writeBytes(path, golden("empty.str")));
            setMode(path, 0);
            break;
        }
    }

    // The window still works: Save as to a good path writes what the boxes hold.
    void expectGoodSave() {
        const QString good = dir->filePath(QStringLiteral("good.str"));
        log->messages.clear();
        dialogs->answers = {good};
        trigger(*window, "mnuSave");
        QVERIFY2(log->messages.isEmpty(), qPrintable(log->messages.join(QLatin1Char('\n'))));
        const QByteArray saved = readBytes(good);
        QCOMPARE(saved, encoded(*window));
        QVERIFY(saved.contains("toe in = typed, not yet saved\r\n"));
    }

    std::optional<QTemporaryDir> dir;
    std::optional<Form1> window;
    std::optional<uitest::DialogScript> dialogs;
    std::optional<uitest::MessageLog> log;
};

QTEST_MAIN(TestFaults)
#include "test_faults.moc"

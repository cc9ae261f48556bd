// The operating system's own platform layer, as far as this machine has it.
#include "platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
}

#ifndef Q_OS_WIN
// A shell script that leaves a marker file when it runs.
void writeScript(const QString& path, const QString& marker) {
    writeFile(path, "#!/bin/sh\ntouch '" + marker.toLocal8Bit() + "'\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
#endif

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void ordinaryFileExists_data();
    void ordinaryFileExists();
    void programPathIsNeverSplit();
    void missingProgramDoesNotStart();
#ifndef Q_OS_WIN
    void noRegistryHere();
#endif

private:
    QTemporaryDir dir;
};

void TestPlatform::ordinaryFileExists_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");
    QTest::newRow("ordinary file") << QStringLiteral("MSINFO32.EXE") << true;
    QTest::newRow("folder") << QStringLiteral("folder") << false;
    QTest::newRow("missing") << QStringLiteral("missing.exe") << false;
#ifndef Q_OS_WIN
    QTest::newRow("hidden file") << QStringLiteral(".hidden") << false;
#endif
}

void TestPlatform::ordinaryFileExists() {
    QFETCH(QString, name);
    QFETCH(bool, expected);
    QVERIFY(dir.isValid());
    writeFile(dir.filePath(QStringLiteral("MSINFO32.EXE")), "x");
    writeFile(dir.filePath(QStringLiteral(".hidden")), "x");
    QDir(dir.path()).mkpath(QStringLiteral("folder"));

    QCOMPARE(rigtune::nativePlatform().ordinaryFileExists(dir.filePath(name)), expected);
}

// "<dir>/a b/run" must start that program, not "<dir>/a" with an argument "b/run".
void TestPlatform::programPathIsNeverSplit() {
#ifdef Q_OS_WIN
    QSKIP("needs a shell script");
#else
    QVERIFY(dir.isValid());
    QDir(dir.path()).mkpath(QStringLiteral("a b"));
    const QString rightMarker = dir.filePath(QStringLiteral("right"));
    const QString wrongMarker = dir.filePath(QStringLiteral("wrong"));
    writeScript(dir.filePath(QStringLiteral("a b/run")), rightMarker);
    writeScript(dir.filePath(QStringLiteral("a")), wrongMarker);

    QVERIFY(rigtune::nativePlatform().startProgram(dir.filePath(QStringLiteral("a b/run"))));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(rightMarker), 10000);
    QVERIFY2(!QFileInfo::exists(wrongMarker), "the path was split as a command line");
#endif
}

void TestPlatform::missingProgramDoesNotStart() {
    QVERIFY(!rigtune::nativePlatform().startProgram(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!rigtune::nativePlatform().startProgram(QString()));
}

#ifndef Q_OS_WIN
void TestPlatform::noRegistryHere() {
    rigtune::RegistryKey key = 1;
    QVERIFY(rigtune::nativePlatform().openKey(rigtune::HKeyLocalMachine, "SOFTWARE",
                                              rigtune::KeyRead, key) != rigtune::RegistrySuccess);
}
#endif

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"

// Runs the fuzzer's check over every file in the given folders (or the files given), so the seed
// corpus and every input that once broke a promise are checked in each ordinary build.
#include "setupcheck.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

QStringList inputFiles(const QStringList& arguments) {
    QStringList files;
    for (const QString& argument : arguments) {
        if (!QFileInfo(argument).isDir()) {
            files << argument;
            continue;
        }
        QDirIterator it(argument, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    return files;
}

// Prints what broke, if anything; true when the file kept every promise.
bool replay(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::printf("FAIL %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    const QString broken = rigtune::checkReaderPromises(bytes);
    if (broken.isEmpty())
        return true;
    std::printf("FAIL %s: %s\n", qPrintable(path), qPrintable(broken));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList files = inputFiles(arguments);
    int failed = 0;
    for (const QString& path : files)
        failed += replay(path) ? 0 : 1;
    std::printf("%lld passed, %d failed\n", static_cast<long long>(files.size() - failed), failed);
    return files.isEmpty() || failed > 0 ? 1 : 0;
}

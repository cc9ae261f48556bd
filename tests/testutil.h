// Small helpers shared by the tests.
#pragma once

#include "setupwriter.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testutil {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

// The canonical file for a record; empty when the record cannot be written.
inline QByteArray encoded(const rigtune::SetupRecord& record) {
    QByteArray bytes;
    (void)rigtune::encodeSetupFile(record, bytes);
    return bytes;
}

inline QByteArray golden(const QString& name) {
    return readBytes(QStringLiteral(RIGTUNE_TEST_DATA "/") + name);
}

} // namespace testutil

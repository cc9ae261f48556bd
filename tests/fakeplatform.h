// A registry, file system and program starter in memory, which records what was asked of it.
#pragma once

#include "platform.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <cstring>

class FakePlatform final : public rigtune::Platform {
public:
    // Keys live under HKEY_LOCAL_MACHINE; a value with an empty name only makes its key.
    void setValue(const QByteArray& key, const QByteArray& name, quint32 type,
                  const QByteArray& data) {
        auto& values = keys[key];
        if (!name.isEmpty())
            values[name] = {type, data};
    }

    qint32 openKey(quint32 root, const QByteArray& path, quint32 access,
                   rigtune::RegistryKey& key) override {
        accessMasks << access;
        if (root != 0x80000002 || !keys.contains(path))
            return 2; // ERROR_FILE_NOT_FOUND
        openHandles[key = ++lastHandle] = path;
        return rigtune::RegistrySuccess;
    }

    qint32 queryValue(rigtune::RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        const auto value = keys.value(openHandles.value(key)).value(name, {~0u, {}});
        if (!openHandles.contains(key) || value.first == ~0u)
            return 2; // ERROR_FILE_NOT_FOUND
        const quint32 room = std::exchange(size, quint32(value.second.size()));
        type = value.first;
        if (size > room)
            return 234; // ERROR_MORE_DATA
        std::memcpy(data, value.second.constData(), size);
        return rigtune::RegistrySuccess;
    }

    qint32 closeKey(rigtune::RegistryKey key) override {
        badCloses += openHandles.remove(key) == 0;
        return rigtune::RegistrySuccess;
    }

    bool ordinaryFileExists(const QString& path) override { return files.contains(path); }

    bool startProgram(const QString& program) override {
        startAttempts << program;
        return startable.contains(program);
    }

    QMap<QByteArray, QMap<QByteArray, std::pair<quint32, QByteArray>>> keys; // type and data
    QSet<QString> files;     // ordinary files that exist
    QSet<QString> startable; // programs that start when asked
    QList<quint32> accessMasks;
    QMap<rigtune::RegistryKey, QByteArray> openHandles;
    int badCloses = 0;
    QStringList startAttempts;

private:
    rigtune::RegistryKey lastHandle = 0x100;
};

// A registry, file system and program starter in memory, which records what was asked of it.
#pragma once

#include "platform.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <cstring>

class FakePlatform final : public rigtune::Platform {
public:
    struct Value {
        quint32 type = 0;
        QByteArray data;
    };

    // Keys live under HKEY_LOCAL_MACHINE; a value with an empty name only makes its key.
    void setValue(const QByteArray& key, const QByteArray& name, quint32 type,
                  const QByteArray& data) {
        if (name.isEmpty())
            keys[key];
        else
            keys[key][name] = Value{type, data};
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
        if (!openHandles.contains(key) || !keys[openHandles[key]].contains(name))
            return 2; // ERROR_FILE_NOT_FOUND
        const Value& value = keys[openHandles[key]][name];
        const quint32 room = std::exchange(size, quint32(value.data.size()));
        type = value.type;
        if (size > room)
            return 234; // ERROR_MORE_DATA
        std::memcpy(data, value.data.constData(), size);
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

    QMap<QByteArray, QMap<QByteArray, Value>> keys;
    QSet<QString> files;     // ordinary files that exist
    QSet<QString> startable; // programs that start when asked
    QList<quint32> accessMasks;
    QMap<rigtune::RegistryKey, QByteArray> openHandles;
    int badCloses = 0;
    QStringList startAttempts;

private:
    rigtune::RegistryKey lastHandle = 0x100;
};

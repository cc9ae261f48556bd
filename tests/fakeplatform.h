// A registry, file system and program starter in memory, which records what was asked of it.
#pragma once

#include "platform.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QStringList>
#include <cstring>

class FakePlatform final : public rigtune::Platform {
public:
    static constexpr qint32 ErrorFileNotFound = 2;
    static constexpr qint32 ErrorMoreData = 234;

    struct Value {
        quint32 type = 0;
        QByteArray data;
    };

    // Keys live under HKEY_LOCAL_MACHINE; a value with an empty name only makes its key.
    void setValue(const QByteArray& keyPath, const QByteArray& name, quint32 type,
                  const QByteArray& data) {
        auto& values = keys[keyPath];
        if (!name.isEmpty())
            values[name] = Value{type, data};
    }

    qint32 openKey(quint32 rootKey, const QByteArray& path, quint32 accessMask,
                   rigtune::RegistryKey& key) override {
        openedKeys << path;
        accessMasks << accessMask;
        if (rootKey != 0x80000002 || !keys.contains(path))
            return ErrorFileNotFound;
        key = ++lastHandle;
        openHandles[key] = path;
        return rigtune::RegistrySuccess;
    }

    qint32 queryValue(rigtune::RegistryKey key, const QByteArray& name, quint32& type, char* data,
                      quint32& size) override {
        const Value* value = openHandles.contains(key) && keys[openHandles[key]].contains(name)
                                 ? &keys[openHandles[key]][name]
                                 : nullptr;
        if (!value)
            return ErrorFileNotFound;
        type = value->type;
        const auto needed = static_cast<quint32>(value->data.size());
        const bool fits = needed <= size;
        size = needed;
        if (!fits)
            return ErrorMoreData;
        std::memcpy(data, value->data.constData(), needed);
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
    QList<QByteArray> openedKeys;
    QList<quint32> accessMasks;
    QMap<rigtune::RegistryKey, QByteArray> openHandles;
    int badCloses = 0;
    QStringList startAttempts;

private:
    rigtune::RegistryKey lastHandle = 0x100;
};

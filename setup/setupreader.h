// Reads a set-up file onto a Setup record, leniently: a field the file names receives the text
// found for it, every other field keeps its value, and nothing about the content is ever reported.
//
// Reading happens in two passes. ReadEntries splits the whole file into entries (a comma ends an
// entry just as a line end does) and closes it; only then does ApplyEntries look for the five
// section headers and set the fields whose keys it finds, each once, to the last value found.
//
// Limits: a file holds at most MaxEntries entries and MaxFileSize bytes; larger files are refused
// before any field changes. Values have no length limit.
#pragma once

#include "result.h"
#include "setuprecord.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

namespace rigtune {

inline constexpr qsizetype MaxEntries = 2000;
inline constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

// The entries of one file, in file order.
class EntryTable {
public:
    qsizetype count() const { return static_cast<qsizetype>(entries_.size()); }
    QStringView entry(qsizetype i) const { return entries_.at(static_cast<std::size_t>(i)); }

private:
    friend Result ReadEntries(QByteArrayView bytes, EntryTable& table);
    // The entries view the text, which is never changed: its characters stay where they are for
    // as long as the table, or a copy of it, keeps them.
    QString text_;
    std::vector<QStringView> entries_;
};

// Splits bytes into entries. Fails, leaving table empty, when there are more than MaxEntries.
Result ReadEntries(QByteArrayView bytes, EntryTable& table);

// Reads the regular file at path whole and splits it. Fails with a message naming the file and
// the reason when it cannot be read or is too large or too long to be a set-up file.
Result ReadEntries(const QString& path, EntryTable& table);

// Scans the entries for section headers and sets every field whose key it finds, to the value
// its last entry gives.
void ApplyEntries(const EntryTable& table, SetupRecord& record);

// ReadEntries then ApplyEntries. On failure no field has changed.
Result ReadSetupFile(const QString& path, SetupRecord& record);

} // namespace rigtune

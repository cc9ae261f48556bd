// How both systems read an open regular file, through the system's own read call on each.
#pragma once

#include "system.h"

#include <algorithm>

namespace rigtune::os {

inline FileRead refusedRead(FileRead::Outcome outcome) {
    return {outcome, {}, {}};
}

// Reads an open file to its end, or until it proves longer than maxSize. read(buffer, size) gives
// the number of bytes it read, 0 at the end, or -1 on failure, which error() then words. expected
// is the file's size as the system gave it: a file that tells it ends where a read comes back
// short, so no read is spent on finding the end; a file under /proc says 0 and is read until a
// read finds nothing.
template <typename Read, typename Error>
FileRead readOpenFile(Read read, Error error, qint64 expected, qint64 maxSize) {
    const qint64 limit = maxSize + 1;
    qint64 capacity = std::clamp<qint64>(expected + 1, 4096, limit);
    qint64 used = 0;
    QByteArray bytes(capacity, Qt::Uninitialized);
    for (;;) {
        const qint64 got = read(bytes.data() + used, capacity - used);
        if (got < 0)
            return {FileRead::Outcome::Failed, {}, error()};
        used += got;
        if (got == 0 || (expected > 0 && used >= expected && used < capacity))
            break;
        if (used == limit)
            return refusedRead(FileRead::Outcome::TooLarge);
        if (used == capacity)
            bytes.resize(capacity = std::min(capacity * 2, limit));
    }
    bytes.resize(used);
    return {FileRead::Outcome::Read, std::move(bytes), {}};
}

} // namespace rigtune::os

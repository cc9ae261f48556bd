// The promises the set-up file reader makes for any bytes whatsoever, as one check that both the
// fuzzer and the corpus replay run.
#pragma once

#include <QByteArrayView>
#include <QString>

namespace rigtune {

// Reads bytes as a set-up file and applies them to records, then saves and reads again. Returns a
// description of the first promise broken, or an empty string when every one held.
QString checkReaderPromises(QByteArrayView bytes);

} // namespace rigtune

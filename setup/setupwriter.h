// Writes a set-up file in the one canonical layout: 56 lines, CR LF after each, no byte-order
// mark. The constant text takes 745 bytes; the 39 values follow their key texts verbatim.
#pragma once

#include "result.h"
#include "setuprecord.h"

#include <QByteArray>

namespace rigtune {

// The bytes of the canonical file for a record. Fails, naming every offending field, when a value
// holds a line break or a character the code page cannot hold: either would change what the game
// and the reader see.
Result encodeSetupFile(const SetupRecord& record, QByteArray& bytes);

// Creates or replaces the file at path (used as given: no extension is added). The new content
// replaces the old only once it is completely written, so a failure leaves an existing file as it
// was and no temporary file behind. An existing file with no write permission is refused, as the
// game's players mark files read-only to protect them.
Result WriteSetupFile(const QString& path, const SetupRecord& record);

} // namespace rigtune

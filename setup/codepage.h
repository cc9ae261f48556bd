// The 8-bit code page of set-up files. The game writes its files in the system's ANSI code page;
// where there is none (or it is UTF-8 or double-byte) Windows-1252 stands in. Either way all 256
// byte values stay distinct, so a file's bytes survive a read and a write.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace rigtune {

// The name of the code page in use, for messages ("windows-1252", "windows-1251").
QString setupCodePageName();

// Every byte becomes one character; nothing is lost or rejected.
QString decodeSetupText(QByteArrayView bytes);

// Appends the encoded text to out. Returns false, and leaves out as it was, when a character has
// no byte in the code page.
bool encodeSetupText(QStringView text, QByteArray& out);

} // namespace rigtune

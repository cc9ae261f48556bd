#include "setupwriter.h"

#include "codepage.h"
#include "filemessages.h"
#include "setupreader.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <cerrno>
#include <system_error>

namespace rigtune {

namespace {

constexpr std::string_view GameLine = "game = Gravlund";
constexpr std::string_view LineEnd = "\r\n";

void appendLine(QByteArray& bytes, std::string_view text = {}) {
    bytes.append(text.data(), static_cast<qsizetype>(text.size()));
    bytes.append(LineEnd.data(), static_cast<qsizetype>(LineEnd.size()));
}

bool holdsLineBreak(const QString& value) {
    return value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}

// Appends one key line; false when the value cannot be stored.
bool appendKeyLine(QByteArray& bytes, const Setting& setting, const QString& value) {
    if (holdsLineBreak(value))
        return false;
    bytes.append(setting.keyText.data(), static_cast<qsizetype>(setting.keyText.size()));
    if (!encodeSetupText(value, bytes))
        return false;
    bytes.append(LineEnd.data(), static_cast<qsizetype>(LineEnd.size()));
    return true;
}

// The settings of a section in the order of their key lines.
template <std::size_t N> constexpr std::array<std::size_t, N> inFileOrder(std::size_t first) {
    std::array<std::size_t, N> order{};
    for (std::size_t s = first; s < first + N; ++s)
        order[static_cast<std::size_t>(Settings[s].fileOrder)] = s;
    return order;
}

constexpr auto WheelKeyOrder = inFileOrder<WheelSettingCount>(0);
constexpr auto CarKeyOrder = inFileOrder<CarSettingCount>(WheelSettingCount);

template <std::size_t N>
void appendSection(QByteArray& bytes, std::string_view header,
                   const std::array<std::size_t, N>& keys, int wheel, const SetupRecord& record,
                   QStringList& refused) {
    appendLine(bytes, header);
    appendLine(bytes);
    for (std::size_t setting : keys) {
        const std::size_t field = fieldIndex(setting, wheel);
        if (!appendKeyLine(bytes, Settings[setting], record.value(field)))
            refused << fieldDisplayName(field);
    }
    appendLine(bytes);
}

QString refusalReason(const QStringList& refused) {
    return QStringLiteral("values that hold a line break or a character outside the set-up file's "
                          "code page (%1): %2.")
        .arg(setupCodePageName(), refused.join(QStringLiteral("; ")));
}

// Why a write failed: the system's own reason, from errno as the failed call left it, where there
// is one. Qt passes some failures on with none, a full disk among them ("Unknown error"), and
// reports a short write as no error at all.
QString writeFailure(const QFileDevice& file, int systemError) {
    if (systemError != 0)
        return QString::fromStdString(std::generic_category().message(systemError));
    return file.errorString();
}

// Overwrites an existing file where no new file can be made beside it. The old bytes are kept
// first: if the new ones do not fit (a full disk), the old ones go back rather than being lost.
Result writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return Result::failure(cannotSaveMessage(path, file.errorString()));
    // The old bytes are kept within the reader's bound: a larger file is no set-up file.
    if (file.size() > MaxFileSize)
        return Result::failure(cannotSaveMessage(
            path,
            QStringLiteral("the file is too large to be a set-up file; it is left as it is.")));
    const QByteArray old = file.readAll();
    // Without the old bytes a failed write could not be undone, so nothing is written.
    if (file.error() != QFileDevice::NoError)
        return Result::failure(cannotSaveMessage(path, file.errorString()));
    const auto replaceWith = [&file](const QByteArray& content) {
        errno = 0;
        return file.seek(0) && file.resize(0) && file.write(content) == content.size();
    };
    if (replaceWith(bytes))
        return Result::success();
    QString reason = writeFailure(file, errno);
    if (!replaceWith(old))
        reason += QStringLiteral(" The old file could not be put back: %1")
                      .arg(writeFailure(file, errno));
    return Result::failure(cannotSaveMessage(path, reason));
}

} // namespace

Result encodeSetupFile(const SetupRecord& record, QByteArray& bytes) {
    QByteArray out;
    out.reserve(1024);
    QStringList refused;
    appendLine(out, GameLine);
    appendLine(out);
    for (std::size_t w = 0; w < WheelCount; ++w)
        appendSection(out, Wheels[w].sectionHeader, WheelKeyOrder, static_cast<int>(w), record,
                      refused);
    appendSection(out, OtherSectionHeader, CarKeyOrder, -1, record, refused);
    if (!refused.isEmpty())
        return Result::failure(refusalReason(refused));
    bytes = std::move(out);
    return Result::success();
}

Result WriteSetupFile(const QString& path, const SetupRecord& record) {
    QByteArray bytes;
    if (Result encoded = encodeSetupFile(record, bytes); !encoded.ok())
        return Result::failure(cannotSaveMessage(path, encoded.errorString()));

    const QFileInfo target(path);
    if (target.isDir())
        return Result::failure(cannotSaveMessage(path, QStringLiteral("it is a folder.")));
    // A FIFO or a device is not a set-up file: replacing it with one (as root, /dev/null itself)
    // or writing into it would be wrong either way.
    if (target.exists() && !target.isFile())
        return Result::failure(cannotSaveMessage(path, NotARegularFile));
    // The permission bits themselves, not the current user's access: a file marked read-only
    // stays protected even from an administrator.
    constexpr auto AnyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (target.exists() && !(target.permissions() & AnyWrite))
        return Result::failure(cannotSaveMessage(path, QStringLiteral("the file is read-only.")));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        // A game folder may let a player change a file but not create one beside it; then the
        // file is written in place, as it always was there.
        if (target.exists())
            return writeInPlace(path, bytes);
        return Result::failure(cannotSaveMessage(path, file.errorString()));
    }
    // A short file waits in Qt's write buffer, and QSaveFile's commit does not check the flush
    // that writes it out: flush here, so a full disk is seen before the old file is replaced.
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = writeFailure(file, errno);
        file.cancelWriting();
        return Result::failure(cannotSaveMessage(path, reason));
    }
    if (!file.commit())
        return Result::failure(cannotSaveMessage(path, file.errorString()));
    return Result::success();
}

} // namespace rigtune

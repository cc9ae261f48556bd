// libFuzzer entry point: any bytes, as a set-up file, must keep every promise of the reader.
#include "setupcheck.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString broken = rigtune::checkReaderPromises(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "Broken promise: %s\n", broken.toLocal8Bit().constData());
        std::abort(); // libFuzzer keeps the input as a crash artifact
    }
    return 0;
}

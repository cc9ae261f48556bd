#include "startupreading.h"

#include "picturebox.h"
#include "system.h"

#include <QFontDatabase>
#include <QThread>

namespace rigtune {

// Qt's font database may be loaded on any thread: a thread that needs it while it loads waits.
// Where the system does not allow that, the first text loads it on the building thread.
StartUpReading::StartUpReading(QStringList pictures)
    : paths_(std::move(pictures)), reading_(QThread::create([this] {
          if (os::fontListLoadsOnAnyThread())
              QFontDatabase::families();
          for (const QString& path : paths_)
              pictures_.append(readArtwork(path));
      })) {
    // Qt lists the image plugins on the first picture it reads, in an object that belongs to the
    // thread that read it. Listed by a reading thread that has since ended, that object hung the
    // program's exit under Wine; so the list is made here, on the building thread, from a header.
    artworkSize(paths_.first());
    reading_->start();
}

StartUpReading::~StartUpReading() {
    reading_->wait();
}

QPixmap StartUpReading::picture(const QString& path) {
    reading_->wait();
    return QPixmap::fromImage(pictures_.value(paths_.indexOf(path)));
}

} // namespace rigtune

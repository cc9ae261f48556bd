// What the main window reads from disk as it starts, read on a second thread while the window is
// built: the system's list of fonts (where the system allows), which the first text waits for, then
// the window's pictures. The building thread meanwhile makes what needs neither, such as the menus.
#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <memory>

class QThread;

namespace rigtune {

class StartUpReading {
public:
    explicit StartUpReading(QStringList pictures);
    ~StartUpReading();
    // One of the pictures; waits until all are read.
    QPixmap picture(const QString& path);

private:
    const QStringList paths_;
    QList<QImage> pictures_; // written by the reading thread alone until it has finished
    std::unique_ptr<QThread> reading_;
};

} // namespace rigtune

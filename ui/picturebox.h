// A picture box that stays sharp on dense screens: it draws its 1x artwork where one pixel is one
// pixel and the artwork's "@2x" sibling on any denser screen, reduced smoothly below 200 %. (Qt
// 6.4's QIcon would take the 1x picture at 125-175 % and enlarge it.) Either is drawn at its
// natural size from the box's top-left corner and clipped by the box, which shows its own
// background where the picture does not reach. The dense one is read on its first paint: a window
// on an ordinary screen never needs it.
#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSize>

namespace rigtune {

// One of the program's own pictures, all PNG files, read by Qt's own PNG reader. Asked to guess,
// Qt first loads every image plugin on the system to ask each whether it reads the file, which
// costs a starting program more than all its pictures. An image may be read on any thread.
QImage readArtwork(const QString& path);
QSize artworkSize(const QString& path); // from the header alone
QPixmap artwork(const QString& path);

class PictureBox : public QLabel {
    Q_OBJECT

public:
    // path names the 1x artwork, such as ":/banner.png"; ":/banner@2x.png" is the dense one. The
    // 1x one is read here unless it is given, read already.
    PictureBox(const QString& path, QWidget* parent, QPixmap picture = {});

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QPixmap& densePixmap();

    QString densePath_;
    QPixmap dense_;
};

} // namespace rigtune

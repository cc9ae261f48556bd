#include "picturebox.h"

#include <QImageReader>
#include <QPainter>

namespace rigtune {

namespace {

template <typename Read> auto withPngReader(const QString& path, Read read) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    return read(reader);
}

QString denseSibling(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QLatin1String("@2x") + path.mid(dot);
}

} // namespace

QImage readArtwork(const QString& path) {
    return withPngReader(path, [](QImageReader& reader) { return reader.read(); });
}

QSize artworkSize(const QString& path) {
    return withPngReader(path, [](QImageReader& reader) { return reader.size(); });
}

QPixmap artwork(const QString& path) {
    return QPixmap::fromImage(readArtwork(path));
}

// The @2x name gives the dense pixmap a device pixel ratio of 2, so it has the 1x one's size in
// device-independent pixels.
PictureBox::PictureBox(const QString& path, QWidget* parent, QPixmap picture)
    : QLabel(parent), densePath_(denseSibling(path)) {
    setPixmap(picture.isNull() ? artwork(path) : picture);
}

const QPixmap& PictureBox::densePixmap() {
    if (dense_.isNull())
        dense_ = artwork(densePath_);
    return dense_;
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(contentsRect().topLeft(),
                       devicePixelRatio() > 1.0 ? densePixmap() : pixmap());
}

} // namespace rigtune

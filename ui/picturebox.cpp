#include "picturebox.h"

#include <QPainter>

namespace rigtune {

namespace {

QString denseSibling(const QString& path) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return path.left(dot) + QLatin1String("@2x") + path.mid(dot);
}

} // namespace

// The @2x name gives the dense pixmap a device pixel ratio of 2, so it has the 1x one's size in
// device-independent pixels.
PictureBox::PictureBox(const QString& path, QWidget* parent)
    : QLabel(parent), densePath_(denseSibling(path)) {
    setPixmap(QPixmap(path));
}

const QPixmap& PictureBox::densePixmap() {
    if (dense_.isNull())
        dense_.load(densePath_);
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

// Saves what the X server's screen shows as a PNG file, and fails when the picture is of one colour
// only (nothing was drawn). Used by the Designer smoke run.
//
// Usage: designer_screengrab <out.png>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: designer_screengrab <out.png>\n");
    return 2;
  }
  const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
  if (shot.isNull()) {
    std::fprintf(stderr, "designer_screengrab: the screen could not be read\n");
    return 1;
  }
  int colours = 0;
  const QRgb first = shot.pixel(0, 0);
  for (int y = 0; y < shot.height() && colours == 0; y += 7)
    for (int x = 0; x < shot.width(); x += 7)
      if (shot.pixel(x, y) != first) {
        colours = 1;
        break;
      }
  // Only the part of the screen the windows cover: the rest of the virtual screen is black.
  QRect used;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      if (qGray(shot.pixel(x, y)) != 0) used |= QRect(x, y, 1, 1);
  if (!shot.copy(used.isEmpty() ? shot.rect() : used).save(QString::fromLocal8Bit(argv[1]))) return 1;
  if (colours == 0) std::fprintf(stderr, "designer_screengrab: the screen shows nothing\n");
  return colours == 0 ? 1 : 0;
}

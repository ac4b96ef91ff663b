#include "window/Logo.h"

#include <QPainter>
#include <QPainterPath>

namespace notecast {

QPixmap drawLogo(int width, int height) {
  QPixmap pixmap(width, height);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(width / 75.0, height / 68.0);

  // Background tile.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1f, 0x2a, 0x44));
  painter.drawRoundedRect(QRectF(1, 1, 73, 66), 9, 9);

  // Three fader bars of rising level: the DMX side.
  const QColor bar(0xf2, 0xa9, 0x00);
  painter.setBrush(bar);
  const qreal levels[] = {18, 30, 42};
  for (int i = 0; i < 3; ++i) painter.drawRect(QRectF(9 + i * 9, 58 - levels[i], 6, levels[i]));

  // An eighth note: the MIDI side.
  const QColor note(0xe8, 0xf1, 0xff);
  painter.setBrush(note);
  painter.drawEllipse(QRectF(40, 44, 15, 11));
  painter.drawRect(QRectF(52, 14, 3, 36));
  QPainterPath flag;
  flag.moveTo(55, 14);
  flag.cubicTo(66, 20, 68, 28, 62, 36);
  flag.cubicTo(63, 29, 60, 25, 55, 23);
  flag.closeSubpath();
  painter.drawPath(flag);
  return pixmap;
}

}  // namespace notecast

#pragma once
// Frames of a recording (the OLA show format's lines, after its header) that change channels
// 1..`channels` of universe 1 in every frame, `gapMs` apart: frame f gives channel c the value
// (2f + c) % 256, so no frame repeats its predecessor's value on any channel.

#include <QByteArray>
#include <QByteArrayList>

namespace notecast::testing {

inline QByteArray rampFrames(int frames, int channels, int gapMs = 20) {
  QByteArray lines;
  for (int frame = 0; frame < frames; ++frame) {
    QByteArrayList values;
    for (int channel = 1; channel <= channels; ++channel)
      values << QByteArray::number((frame * 2 + channel) % 256);
    lines += "1 " + values.join(',') + "\n" + QByteArray::number(gapMs) + "\n";
  }
  return lines;
}

}  // namespace notecast::testing

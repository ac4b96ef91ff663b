#pragma once
// Notecast's logo, drawn in code: a DMX fader turning into a note.

#include <QPixmap>

namespace notecast {

QPixmap drawLogo(int width, int height);

}  // namespace notecast

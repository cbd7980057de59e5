#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <vector>

namespace halvern::ui {

// Picks the font size for the window's fixed boxes. The boxes were laid out for a narrow 8-point
// face; the toolkit's default face at its default size is far wider. It measures, it does not
// draw or change any widget.

struct Caption {
    QString text;
    QSize room; // the space the text may fill, in logical pixels
};

// The toolkit's family at the largest whole pixel size, no larger than `base`, at which every
// caption fits its room on one line; the smallest size tried if none does.
QFont fitCaptionFont(const QFont& base, const std::vector<Caption>& captions);

} // namespace halvern::ui

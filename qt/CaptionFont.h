#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <vector>

namespace halvern::qt {

// The shared caption-fitting rule measured with Qt's font metrics: picks a font size for texts
// in fixed boxes. It measures, it does not draw or change any widget.

struct Caption {
    QString text;
    QSize room; // the space the text may fill, in logical pixels
};

// The desktop font's family at the largest whole pixel size, no larger than `base`, at which
// every caption fits its room on one line; the smallest readable size if none does.
QFont fitCaptionFont(const QFont& base, const std::vector<Caption>& captions);

} // namespace halvern::qt

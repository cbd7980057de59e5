// Writes an image as PNG at build time, so that the program decodes only PNG, which Qt reads
// without loading a plugin, while the icon file and the GIF logo stay the assets of record. From
// an icon file it takes the richest image of the size asked for, so the themed icons and the
// window's icon are the very images the icon file holds.
//   to-png <image> <out.png> [size, for an icon file]
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3 && argc != 4) {
        std::fputs("usage: to-png <image> <out.png> [size, for an icon file]\n", stderr);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    QImageReader reader(input);
    QImage best;
    if (argc == 4) {
        const int size = QString::fromLocal8Bit(argv[3]).toInt();
        for (int i = 0; i < reader.imageCount(); ++i) {
            reader.jumpToImage(i);
            const QImage image = reader.read();
            if (image.width() == size && image.height() == size &&
                (best.isNull() || image.colorCount() > best.colorCount() ||
                 image.depth() > best.depth()))
                best = image;
        }
    } else {
        best = reader.read();
    }
    if (best.isNull()) {
        std::fprintf(stderr, "to-png: no such image in %s\n", argv[1]);
        return 1;
    }
    if (!best.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "to-png: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

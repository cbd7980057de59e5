// Writes one image of an icon file as PNG, for the desktop's icon theme: the richest image of
// the requested size, so the themed icons are the very images the window uses.
//   ico-to-png <icon.ico> <size> <out.png>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fputs("usage: ico-to-png <icon.ico> <size> <out.png>\n", stderr);
        return 2;
    }
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    QImageReader reader(QString::fromLocal8Bit(argv[1]), "ico");
    QImage best;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage image = reader.read();
        if (image.width() == size && image.height() == size &&
            (best.isNull() || image.colorCount() > best.colorCount() ||
             image.depth() > best.depth()))
            best = image;
    }
    if (best.isNull()) {
        std::fprintf(stderr, "ico-to-png: no %dx%d image in %s\n", size, size, argv[1]);
        return 1;
    }
    if (!best.convertToFormat(QImage::Format_ARGB32).save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "ico-to-png: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

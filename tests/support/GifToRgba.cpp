// Decodes a GIF with the Windows window's own decoder and writes its pixels as raw RGBA, fully
// transparent ones as 0, 0, 0, 0: the form ImageMagick writes with -alpha background.
//   gif-to-rgba <image.gif> <out.rgba>
#include "ui/win32/GifImage.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: gif-to-rgba <image.gif> <out.rgba>\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    auto image = halvern::win32::decodeGif(bytes);
    if (!image) {
        std::fprintf(stderr, "gif-to-rgba: %s is no GIF it can read\n", argv[1]);
        return 1;
    }
    for (std::size_t at = 0; at < image->pixels.size(); at += 4) {
        if (image->pixels[at + 3] == 0)
            image->pixels[at] = image->pixels[at + 1] = image->pixels[at + 2] = 0;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(image->pixels.data()),
              static_cast<std::streamsize>(image->pixels.size()));
    std::printf("%d %d\n", image->width, image->height);
    return out ? 0 : 1;
}

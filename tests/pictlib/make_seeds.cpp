// Writes the seed files of the picture fuzzers (fuzz/corpus/pcx_decode and
// fuzz/corpus/pict_decode): small pictures of every kind the decoders read.
// Usage: make_picture_seeds <fuzz/corpus>
#include <cstdio>
#include <string>

#include "support/PictureFiles.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fuzz/corpus>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const TRasterImage small = Quadrants(9, 5, {220, 20, 30}, {10, 200, 40}, {30, 40, 210}, {240, 230, 20});
    const TRasterImage grey = Quadrants(6, 4, {0, 0, 0}, {80, 80, 80}, {160, 160, 160}, {255, 255, 255});
    WriteAll(dir + "/pcx_decode/rgb.pcx", WritePcx24(small));
    WriteAll(dir + "/pcx_decode/indexed.pcx", WritePcx8(grey));
    for (const std::string ext : {"bmp", "dib", "rle", "gif", "pcx", "tga", "jpg"})
        WriteAll(dir + "/pict_decode/small." + ext, WritePictureFile(ext, small));
    WriteAll(dir + "/pict_decode/plain.tga", WriteTga(grey, false));
    WriteAll(dir + "/pict_decode/grey.gif", WriteGif(grey));
    return 0;
}

#include "pictlib/StbImage.h"

#include <climits>
#include <cstring>

// The decoder is built here, for GIF and TGA only, from memory only.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (1 << 16)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace treskel {

namespace {
// The decoder counts bytes in an int.
bool Fits(size_t size) { return size > 0 && size <= static_cast<size_t>(INT_MAX); }
}  // namespace

bool LooksLikeGif(const uint8_t* data, size_t size) {
    return size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0);
}

bool StbPictureSize(const uint8_t* data, size_t size, int& width, int& height) {
    int comp = 0;
    width = height = 0;
    return Fits(size) && stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &comp) != 0;
}

bool StbDecode(const uint8_t* data, size_t size, TRasterImage& image, std::string& reason) {
    int w = 0, h = 0, comp = 0;
    if (!Fits(size)) {
        reason = "empty or too large";
        return false;
    }
    stbi_uc* rgb = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &comp, 3);
    if (rgb == nullptr) {
        const char* why = stbi_failure_reason();
        reason = why != nullptr ? why : "unknown";
        return false;
    }
    if (!RasterSizeAllowed(static_cast<uint64_t>(w), static_cast<uint64_t>(h))) {
        stbi_image_free(rgb);
        reason = "too large";
        return false;
    }
    image.Allocate(w, h);
    for (int y = 0; y < h; ++y) {
        const stbi_uc* src = rgb + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
        for (int x = 0; x < w; ++x) image.Set(x, y, src[3 * x], src[3 * x + 1], src[3 * x + 2]);
    }
    stbi_image_free(rgb);
    return true;
}

}  // namespace treskel

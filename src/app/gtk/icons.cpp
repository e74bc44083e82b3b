#include "app/gtk/icons.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <utility>

namespace tarnwick {

// The PNG files of src/app/icons, in file-name order, embedded by the build.
extern const std::pair<std::string_view, std::string_view> EmbeddedIcons[];
extern const std::size_t EmbeddedIconsCount;

namespace {

void freePixels(guchar* pixels, gpointer) { std::free(pixels); }

}  // namespace

GdkPixbuf* decodePng(std::string_view bytes) {
  if (bytes.empty()) return nullptr;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return nullptr;
  // Straight (not premultiplied) RGBA is exactly the pixel layout of a GdkPixbuf with alpha.
  image.format = PNG_FORMAT_RGBA;
  const png_uint_32 stride = PNG_IMAGE_ROW_STRIDE(image);
  auto* pixels = static_cast<guchar*>(std::malloc(PNG_IMAGE_BUFFER_SIZE(image, stride)));
  if (!pixels) {
    png_image_free(&image);
    return nullptr;
  }
  if (!png_image_finish_read(&image, nullptr, pixels, png_int_32(stride), nullptr)) {
    std::free(pixels);
    png_image_free(&image);
    return nullptr;
  }
  return gdk_pixbuf_new_from_data(pixels, GDK_COLORSPACE_RGB, TRUE, 8, int(image.width), int(image.height),
                                  int(stride), freePixels, nullptr);
}

namespace {

// Each icon is decoded once; menu items and toolbar buttons share the pixbuf.
GdkPixbuf* decoded[kIconCount] = {};

GdkPixbuf* decodedIcon(int n) {
  if (n < 0 || n >= kIconCount || std::size_t(n) >= EmbeddedIconsCount) return nullptr;
  if (!decoded[n]) decoded[n] = decodePng(EmbeddedIcons[n].second);
  return decoded[n];
}

}  // namespace

int decodeIcons() {
  int count = 0;
  for (int n = 0; n < kIconCount; ++n) count += decodedIcon(n) ? 1 : 0;
  return count;
}

GdkPixbuf* loadIcon(int n) {
  GdkPixbuf* icon = decodedIcon(n);
  return icon ? GDK_PIXBUF(g_object_ref(icon)) : nullptr;
}

}  // namespace tarnwick

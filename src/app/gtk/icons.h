// The twelve 16x16 icons of the menu and the toolbar, decoded from embedded PNG files.
#pragma once

#include <gtk/gtk.h>

#include <string_view>

namespace tarnwick {

constexpr int kIconCount = 12;

// Decodes PNG bytes into an RGBA pixbuf; nullptr for data that is not a PNG.
GdkPixbuf* decodePng(std::string_view bytes);
// Decodes every icon once, at start-up; returns how many decoded.
int decodeIcons();
// Icon n (0 to 11) as a new reference, or nullptr.
GdkPixbuf* loadIcon(int n);

}  // namespace tarnwick

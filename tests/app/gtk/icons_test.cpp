#include "app/gtk/icons.h"

#include <string>
#include <utility>

#include "app/gtk/gui_test_support.h"

namespace tarnwick {

extern const std::pair<std::string_view, std::string_view> EmbeddedIcons[];
extern const std::size_t EmbeddedIconsCount;

namespace {

struct Rgba {
  int r, g, b, a;
};

Rgba pixel(GdkPixbuf* pb, int x, int y) {
  const guchar* p = gdk_pixbuf_get_pixels(pb) + y * gdk_pixbuf_get_rowstride(pb) + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

TEST(Icons, TwelveEmbeddedInMenuOrder) {
  ASSERT_EQ(EmbeddedIconsCount, std::size_t(kIconCount));
  for (int n = 0; n < kIconCount; ++n) {
    char prefix[4];
    g_snprintf(prefix, sizeof prefix, "%02d-", n);
    EXPECT_EQ(EmbeddedIcons[n].first.substr(0, 3), prefix) << EmbeddedIcons[n].first;
  }
}

TEST(Icons, EachDecodesTo16x16RgbaWithTransparentAndOpaquePixels) {
  EXPECT_EQ(decodeIcons(), kIconCount);
  for (int n = 0; n < kIconCount; ++n) {
    GdkPixbuf* pb = loadIcon(n);
    ASSERT_NE(pb, nullptr) << n;
    EXPECT_EQ(gdk_pixbuf_get_width(pb), 16) << n;
    EXPECT_EQ(gdk_pixbuf_get_height(pb), 16) << n;
    EXPECT_EQ(gdk_pixbuf_get_n_channels(pb), 4) << n;
    EXPECT_TRUE(gdk_pixbuf_get_has_alpha(pb)) << n;
    int clear = 0, opaque = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        int a = pixel(pb, x, y).a;
        clear += a == 0;
        opaque += a == 255;
      }
    EXPECT_GT(clear, 0) << "icon " << n << " has no transparent pixel";
    EXPECT_GT(opaque, 40) << "icon " << n << " is nearly empty";
    g_object_unref(pb);
  }
  EXPECT_EQ(loadIcon(-1), nullptr);
  EXPECT_EQ(loadIcon(kIconCount), nullptr);
}

TEST(Icons, ChannelsComeOutInRgbaOrder) {
  // The middle of the plus is green, of the minus red, of the book purple.
  struct Case {
    int icon;
    bool (*dominant)(Rgba);
  } cases[] = {
      {4, [](Rgba p) { return p.g > p.r + 60 && p.g > p.b + 60; }},
      {5, [](Rgba p) { return p.r > p.g + 100 && p.r > p.b + 100; }},
      {11, [](Rgba p) { return p.r > p.g + 40 && p.b > p.g + 40; }},
  };
  for (const Case& c : cases) {
    GdkPixbuf* pb = loadIcon(c.icon);
    ASSERT_NE(pb, nullptr);
    Rgba p = pixel(pb, 8, 9);
    EXPECT_EQ(p.a, 255) << c.icon;
    EXPECT_TRUE(c.dominant(p)) << "icon " << c.icon << ": " << p.r << "," << p.g << "," << p.b;
    g_object_unref(pb);
  }
}

TEST(Icons, DecodePngRejectsWhatIsNotAWholePng) {
  std::string_view good = EmbeddedIcons[0].second;
  const std::string bad[] = {
      "",
      "not a png at all",
      std::string(good.substr(0, 8)) + "garbage after the signature",
      std::string(good.substr(0, good.size() / 2)),  // cut in the middle of the data
  };
  for (const std::string& bytes : bad) EXPECT_EQ(decodePng(bytes), nullptr) << bytes.size() << " bytes";
  GdkPixbuf* pb = decodePng(good);
  EXPECT_NE(pb, nullptr);
  if (pb) g_object_unref(pb);
}

}  // namespace
}  // namespace tarnwick

// The font section, the image pass over procedure code and the image-gadget pass.
#include <gtest/gtest.h>

#include "form_code_fixture.h"
#include "interpret/passes.h"

namespace tarnwick::testing {
namespace {

TEST(BuildFontSection, HeaderLinesAndEmptyLine) {
  FormModel m;
  EXPECT_EQ(BuildFontSection(m), L({";- Load Font", ""}));
  m.FontList = {{"#Font_0", "LoadFont(#Font_0, \"Arial\", 10)"}, {"#Font_0", "LoadFont(#Font_0, \"Arial\", 12)"}};
  EXPECT_EQ(BuildFontSection(m),
            L({";- Load Font", "LoadFont(#Font_0, \"Arial\", 10)", "LoadFont(#Font_0, \"Arial\", 12)", ""}));
}

TEST(ReplaceProcedureImageLoads, WorkedExample) {
  FormCodeFixture f(L({"  ImageGadget(#Window_0_Image_0, 10, 10, 64, 64, LoadImage(0, \"logo.png\"))"}));
  ReplaceProcedureImageLoads(f.model);
  EXPECT_EQ(f.model.FormCodeLines, L({"  ImageGadget(#Window_0_Image_0, 10, 10, 64, 64, ImageID(#MyImage_0))"}));
  EXPECT_EQ(f.model.ImageList, (std::vector<ImageEntry>{{"#MyImage_0", "logo.png"}}));
}

// One constant per file, global loads first; a load into a "#" constant of the form
// keeps that constant (listed once, shared by numbered loads of its file), and the
// counter skips the names the form loads images into.
TEST(ReplaceProcedureImageLoads, OneConstantPerFileGlobalsAndOwnConstantsFirst) {
  FormCodeFixture f(L({
      "  ImageGadget(#A, 0, 0, 1, 1, LoadImage(0, \"LOGO.PNG\"))",
      "  ButtonImageGadget(#B, 0, 0, 1, 1, LoadImage(1, \"new.png\"))",
      "  ButtonImageGadget(#C, 0, 0, 1, 1, LoadImage(2, \"New.png\")) : x = 1",
      "  ImageGadget(#D, 0, 0, 1, 1, LoadImage(#PB_Any, \"b(1).png\"))",
      "  ImageGadget(#E, 0, 0, 1, 1, LoadImage(4, File$))",
      "  ImageGadget(#F, 0, 0, 1, 1, LoadImage(5, \"open.png\"",
      "  If LoadImage(#Img_Save , \"save.png\")",
      "  ButtonImageGadget(#G, 0, 0, 1, 1, LoadImage(6, \"SAVE.png\"))",
      "  LoadImage(#IMG_SAVE, \"other.png\")",
      "  x = LoadImage(#MyImage_1, \"mine.png\")",
  }));
  f.model.ImageList = {{"#Img_Logo", "logo.png"}, {"#Img_Other", "logo.png"}};
  ReplaceProcedureImageLoads(f.model);
  EXPECT_EQ(f.model.FormCodeLines, L({
                                       "  ImageGadget(#A, 0, 0, 1, 1, ImageID(#Img_Logo))",
                                       "  ButtonImageGadget(#B, 0, 0, 1, 1, ImageID(#MyImage_0))",
                                       "  ButtonImageGadget(#C, 0, 0, 1, 1, ImageID(#MyImage_0)) : x = 1",
                                       "  ImageGadget(#D, 0, 0, 1, 1, ImageID(#MyImage_2))",
                                       "  ImageGadget(#E, 0, 0, 1, 1, LoadImage(4, File$))",
                                       "  ImageGadget(#F, 0, 0, 1, 1, LoadImage(5, \"open.png\"",
                                       "  If ImageID(#Img_Save)",
                                       "  ButtonImageGadget(#G, 0, 0, 1, 1, ImageID(#Img_Save))",
                                       "  ImageID(#IMG_SAVE)",
                                       "  x = ImageID(#MyImage_1)",
                                   }));
  EXPECT_EQ(f.model.ImageList, (std::vector<ImageEntry>{{"#Img_Logo", "logo.png"},
                                                        {"#Img_Other", "logo.png"},
                                                        {"#MyImage_0", "new.png"},
                                                        {"#MyImage_2", "b(1).png"},
                                                        {"#Img_Save", "save.png"},
                                                        {"#MyImage_1", "mine.png"}}));
}

TEST(ClearImageGadgetImages, ImageArgumentBecomesZero) {
  FormCodeFixture f(L({
      "  ImageGadget(#Window_0_Image_0, 10, 10, 64, 64, ImageID(#MyImage_0), #PB_Image_Border)",
      "  ButtonImageGadget(#B, 1, 2, 3, 4, ImageID(#MyImage_1))",
      "  ImageGadget(#C,1,2,3,4,ImageID(#I))",
      "  ImageGadget(#D, 1, 2)",
      "  ButtonGadget(#E, 1, 2, 3, 4, \"x\")",
  }));
  ClearImageGadgetImages(f.model);
  EXPECT_EQ(f.model.FormCodeLines, L({
                                       "  ImageGadget(#Window_0_Image_0, 10, 10, 64, 64, 0)",
                                       "  ButtonImageGadget(#B, 1, 2, 3, 4, 0)",
                                       "  ImageGadget(#C,1,2,3,4,0)",
                                       "  ImageGadget(#D, 1, 2)",
                                       "  ButtonGadget(#E, 1, 2, 3, 4, \"x\")",
                                   }));
}

}  // namespace
}  // namespace tarnwick::testing

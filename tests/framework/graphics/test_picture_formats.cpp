// The picture-format table behind TPicture's registry.
#include <gtest/gtest.h>

#include "framework/graphics/PictureFormats.h"

namespace {

class TGraphicA : public TObject {
    FW_CLASS(TGraphicA, TObject)
};
class TGraphicB : public TObject {
    FW_CLASS(TGraphicB, TObject)
};
class TGraphicB2 : public TGraphicB {
    FW_CLASS(TGraphicB2, TGraphicB)
};

TEST(PictureFormatTable, ExtensionsMatchWithoutCaseOrDot) {
    TPictureFormatTable t;
    t.AddFileFormat("JPG", "JPEG Image File", TGraphicA::StaticClass());
    for (const char* ext : {"jpg", ".jpg", "JPG", ".Jpg"}) EXPECT_EQ(t.FindExtension(ext), TGraphicA::StaticClass()) << ext;
    EXPECT_EQ(t.FindExtension("jpeg"), nullptr);
    EXPECT_EQ(t.FindExtension(""), nullptr);
    EXPECT_EQ(t.DescriptionOf(".jpg"), "JPEG Image File");
}

TEST(PictureFormatTable, LaterRegistrationWinsAndUnregisteringRestoresTheEarlier) {
    TPictureFormatTable t;
    t.AddFileFormat("gif", "first", TGraphicA::StaticClass());
    t.AddFileFormat("GIF", "second", TGraphicB::StaticClass());
    t.AddClipboardFormat(49000, TGraphicA::StaticClass());
    t.AddClipboardFormat(49000, TGraphicB::StaticClass());
    EXPECT_EQ(t.FindExtension("gif"), TGraphicB::StaticClass());
    EXPECT_EQ(t.DescriptionOf("gif"), "second");
    EXPECT_EQ(t.FindClipboardFormat(49000), TGraphicB::StaticClass());
    t.Remove(TGraphicB::StaticClass());
    EXPECT_EQ(t.FindExtension("gif"), TGraphicA::StaticClass());
    EXPECT_EQ(t.FindClipboardFormat(49000), TGraphicA::StaticClass());
    t.Remove(TGraphicA::StaticClass());
    EXPECT_EQ(t.FindExtension("gif"), nullptr);
    EXPECT_EQ(t.FindClipboardFormat(49000), nullptr);
    EXPECT_TRUE(t.FileFormats().empty());
}

TEST(PictureFormatTable, FilterListsEachExtensionOnceNewestFirst) {
    TPictureFormatTable t;
    t.AddFileFormat("bmp", "Bitmaps", TGraphicA::StaticClass());
    t.AddFileFormat("gif", "CompuServe GIF Image", TGraphicB2::StaticClass());
    t.AddFileFormat("bmp", "Other bitmaps", TGraphicB::StaticClass());
    EXPECT_EQ(t.Filter(), "All (*.bmp;*.gif)|*.bmp;*.gif|Other bitmaps (*.bmp)|*.bmp|"
                          "CompuServe GIF Image (*.gif)|*.gif");
    EXPECT_EQ(t.Filter(TGraphicB::StaticClass()), "All (*.bmp;*.gif)|*.bmp;*.gif|Other bitmaps (*.bmp)|*.bmp|"
                                                  "CompuServe GIF Image (*.gif)|*.gif");
    EXPECT_EQ(t.Filter(TGraphicB2::StaticClass()), "All (*.gif)|*.gif|CompuServe GIF Image (*.gif)|*.gif");
}

}  // namespace

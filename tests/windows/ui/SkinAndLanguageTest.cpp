// Skin pictures by component name and state suffix, built-in pictures, language texts.
#include <gtest/gtest.h>

#include <string>

#include "tests/windows/ui/TestSupport.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/LanguageText.h"
#include "ui/SkinPaths.h"

namespace tavrine::ui {
namespace {

// Stands in for a dialog: its class name is the one the language tables know.
class SKeyLike : public Form {
  public:
    SKeyLike()
        : Form({.name = L"SKey", .caption = L"SKey", .clientWidth = 283, .clientHeight = 188}) {}
    Image Img_SKey{*this, L"Img_SKey", {0, 0, 281, 188}};
    Label Label1{*this, L"Label1", {32, 64, 210, 21}, L"Select a command to Assign"};
    Image Img_Ok{*this, L"Img_Ok", {48, 147, 91, 26}};
    Image Img_Ok2{*this, L"Img_Ok", {0, 0, 10, 10}};  // a second picture of the same name
    Image Img_Cancel{*this, L"Img_Cancel", {145, 147, 91, 26}};
    Edit SingleKeyName{*this, L"SingleKeyName", {50, 93, 114, 18}};
};

COLORREF Shade(int i) { return RGB(10 * i, 20, 200 - 10 * i); }

class SkinPictures : public ::testing::Test {
  protected:
    void SetUp() override {
        form.SetSkinFolder(install.Path() + L"skin\\Tkey\\");
        CreateDirectoryW((install.Path() + L"skin").c_str(), nullptr);
        CreateDirectoryW(form.SkinFolder().c_str(), nullptr);
        for (int state = 0; state < 3; ++state) {
            ASSERT_TRUE(
                test::WriteBmp(form.SkinFolder() + L"Img_Ok" + std::to_wstring(state) + L".bmp", 91,
                               26, [=](int, int) { return Shade(state); }));
        }
    }
    test::TempFolder install;
    SKeyLike form;
};

TEST_F(SkinPictures, LoadsTheExactFileIntoEveryPictureOfThatName) {
    EXPECT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"1.bmp"));
    const std::wstring expected = form.SkinFolder() + L"Img_Ok1.bmp";
    EXPECT_EQ(form.Img_Ok.PictureSource(), expected);
    EXPECT_EQ(form.Img_Ok2.PictureSource(), expected);
    EXPECT_EQ(form.Img_Ok.PicturePixel(5, 5), Shade(1));
    EXPECT_FALSE(form.Img_Cancel.HasPicture());

    // The sender form of the call: the component's own name.
    EXPECT_TRUE(form.LoadSkinPicture(form.Img_Ok, L"2.bmp"));
    EXPECT_EQ(form.Img_Ok.PicturePixel(0, 0), Shade(2));

    // Asking again for the file a picture shows reads nothing: the file changed on disk shows
    // only after another state was shown in between.
    ASSERT_TRUE(test::WriteBmp(form.SkinFolder() + L"Img_Ok2.bmp", 91, 26,
                               [](int, int) { return Shade(7); }));
    EXPECT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"2.bmp"));
    EXPECT_EQ(form.Img_Ok.PicturePixel(0, 0), Shade(2));
    form.LoadSkinPicture(L"Img_Ok", L"0.bmp");
    form.LoadSkinPicture(L"Img_Ok", L"2.bmp");
    EXPECT_EQ(form.Img_Ok.PicturePixel(0, 0), Shade(7));
}

TEST_F(SkinPictures, UnknownOrDifferentlyCasedNamesMatchNothing) {
    EXPECT_FALSE(form.LoadSkinPicture(L"Img_Yes", L"0.bmp"));
    EXPECT_FALSE(form.LoadSkinPicture(L"img_ok", L"0.bmp"));
    EXPECT_FALSE(form.Img_Ok.HasPicture());
    // A name that is not a picture loads nothing either.
    EXPECT_FALSE(form.LoadSkinPicture(L"SingleKeyName", L"0.bmp"));
}

TEST_F(SkinPictures, AMissingOrBrokenFileKeepsTheCurrentPicture) {
    ASSERT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"0.bmp"));
    // The name matched, so the call answers true, but there is no file 3 and the picture stays.
    EXPECT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"3.bmp"));
    EXPECT_EQ(form.Img_Ok.PicturePixel(1, 1), Shade(0));
    ASSERT_TRUE(install.WriteText(L"skin\\Tkey\\Img_Ok9.bmp", "BM not really a bitmap"));
    EXPECT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"9.bmp"));
    EXPECT_EQ(form.Img_Ok.PictureSource(), form.SkinFolder() + L"Img_Ok0.bmp");

    // Without an installation folder nothing is looked up relative to the current folder.
    form.SetSkinFolder(L"");
    EXPECT_TRUE(form.LoadSkinPicture(L"Img_Ok", L"1.bmp"));
    EXPECT_EQ(form.Img_Ok.PicturePixel(1, 1), Shade(0));
}

TEST(BuiltinPictures, PicturesComeFromTheModulesBitmapResourcesByFolderAndName) {
    SKeyLike form;
    // The test program carries TKEY_IMG_OK (see the resource script); Img_Cancel has none.
    EXPECT_EQ(form.LoadBuiltinPictures(L"Tkey"), 2);
    EXPECT_EQ(form.Img_Ok.PictureSource(), L"res:TKEY_IMG_OK");
    // Decoded on first use only; a skin file loaded before that replaces it undecoded.
    EXPECT_TRUE(form.Img_Ok.HasPicture());
    EXPECT_FALSE(form.Img_Ok.Decoded());
    EXPECT_FALSE(form.Img_Ok2.Decoded());
    EXPECT_EQ(form.Img_Ok.PictureSize().cx, 8);
    EXPECT_TRUE(form.Img_Ok.Decoded());
    form.Img_Ok2.SetPicture(nullptr);
    EXPECT_FALSE(form.Img_Ok2.HasPicture());
    EXPECT_EQ(form.Img_Ok.PicturePixel(0, 0), RGB(200, 40, 40));
    EXPECT_FALSE(form.Img_Cancel.HasPicture());
}

class LanguageFile : public ::testing::Test {
  protected:
    void Write(const std::string& body) {
        ASSERT_TRUE(install.WriteText(L"lang\\UILANG.ini", "[LNG]\r\n" + body));
    }
    std::wstring Root() const { return install.Path().substr(0, install.Path().size() - 1); }
    test::TempFolder install;
};

TEST_F(LanguageFile, EmptyTextsAndLeadingZeroKeysAreAbsent) {
    Write("57=\r\n057=Zero\r\n56=Abbrechen\r\n");
    EXPECT_FALSE(LanguageText(Root(), 57));
    EXPECT_EQ(LanguageText(Root(), 56), L"Abbrechen");

    SKeyLike form;
    form.Img_Ok.SetHint(L"OK");
    form.ApplyLanguageHints(LanguageLookupFor(Root()));
    EXPECT_EQ(form.Img_Ok.Hint(), L"OK");
    EXPECT_EQ(form.Img_Cancel.Hint(), L"Abbrechen");
}

TEST_F(LanguageFile, AFileWithOnly37ReplacesOnlyThatHintAndIsReadAtEveryCall) {
    Write("37=Halten\r\n");
    int found = 0;
    for (int n = 0; n <= 100; ++n)
        if (LanguageText(Root(), n)) ++found;
    EXPECT_EQ(found, 1);
    EXPECT_EQ(LanguageText(Root(), 37), L"Halten");

    // Edited while the program runs: the next call sees the new text.
    Write("37=Gedrueckt\r\n");
    EXPECT_EQ(LanguageText(Root(), 37), L"Gedrueckt");
}

TEST_F(LanguageFile, ATranslationInUtf16IsReadWithItsAccents) {
    // The shipped files are UTF-16 with a byte-order mark, so any language can be written.
    const std::wstring body = L"[LNG]\r\n37=Gedr\u00fcckt halten\r\n";
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : body) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    ASSERT_TRUE(install.WriteText(L"lang\\UILANG.ini", bytes));
    EXPECT_EQ(LanguageText(Root(), 37), L"Gedr\u00fcckt halten");
}

TEST_F(LanguageFile, NoFileOrNoInstallFolderGivesNoTexts) {
    EXPECT_FALSE(LanguageText(Root(), 57));
    EXPECT_FALSE(LanguageText(L"", 57));
    SKeyLike form;
    form.Label1.SetHint(L"Select a command to Assign");
    EXPECT_EQ(form.ApplyLanguageHints(LanguageLookupFor(Root())), 0);
    EXPECT_EQ(form.Label1.Hint(), L"Select a command to Assign");
}

TEST_F(LanguageFile, ALongTextIsCutAt511Characters) {
    Write("39=" + std::string(600, 'x') + "\r\n87=end\r\n88=never\r\n");
    const auto text = LanguageText(Root(), 39);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->size(), 511u);
    // The file is still read properly after the long line, up to the write-given-up notice's
    // 87 (it used to stop at 86, so that notice was never translated); 88 is not read.
    EXPECT_EQ(LanguageText(Root(), 87), L"end");
    EXPECT_FALSE(LanguageText(Root(), 88));
}

}  // namespace
}  // namespace tavrine::ui

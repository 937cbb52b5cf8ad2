#include "ui/DialogFilter.h"
#include "ui/SkinPaths.h"

#include <gtest/gtest.h>

namespace tavrine::ui {
namespace {

using namespace std::literals;

TEST(SkinPaths, FoldersJoinTheInstallPathAndNeverResolveWithoutOne) {
    EXPECT_EQ(SkinFolder(L"C:\\Tavrine", SkinFolderId::Tkey), L"C:\\Tavrine\\skin\\Tkey\\");
    EXPECT_EQ(SkinFolder(L"C:\\T", SkinFolderId::Common), L"C:\\T\\skin\\Common");
    EXPECT_EQ(SkinFolder(L"", SkinFolderId::Main), L"");
    EXPECT_EQ(LanguageFilePath(L"C:\\T"), L"C:\\T\\lang\\UILANG.ini");
    EXPECT_EQ(LanguageFilePath(L""), L"");
    EXPECT_EQ(SkinPictureFile(L"C:\\T\\skin\\Main\\", L"Img_Profile4", L"2.bmp"),
              L"C:\\T\\skin\\Main\\Img_Profile42.bmp");
}

TEST(SkinPaths, BuiltinPictureNamesAreUpperCaseFolderAndComponent) {
    EXPECT_EQ(BuiltinPictureName(SkinFolderName(SkinFolderId::Main), L"Img_MainApply"),
              L"MAIN_IMG_MAINAPPLY");
    EXPECT_EQ(BuiltinPictureName(L"Tkey", L"Img_m"), L"TKEY_IMG_M");
}

TEST(DialogFilter, PairsBecomeNulSeparatedAndDoublyTerminated) {
    EXPECT_EQ(DialogFilter(L"Macro files|*.Q1M|All|*.*"), L"Macro files\0*.Q1M\0All\0*.*\0\0"s);
    EXPECT_EQ(DialogFilter(L"Macro files|*.Q1M|"), L"Macro files\0*.Q1M\0\0"s);
    // An unpaired description is dropped instead of being left without its pattern.
    EXPECT_EQ(DialogFilter(L"Macro files|*.Q1M|Orphan"), L"Macro files\0*.Q1M\0\0"s);
    EXPECT_EQ(DialogFilter(L""), L"\0\0"s);
}

}  // namespace
}  // namespace tavrine::ui

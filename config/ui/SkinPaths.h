#pragma once

#include <string>
#include <string_view>

namespace tavrine::ui {

// The skin folders of the installation folder, one per group of windows.
enum class SkinFolderId { Main, Common, Tkey, Macro, Perform, Light, Warning };

// The folder as the installation lays it out, e.g. L"\\skin\\Main\\" (Common has no trailing
// backslash: its pictures are named with a leading one).
std::wstring_view SkinFolderSuffix(SkinFolderId id);
// The short name the built-in pictures are filed under, e.g. L"Main".
std::wstring_view SkinFolderName(SkinFolderId id);

// InstallPath + the folder; empty when there is no installation folder, so that nothing is ever
// looked up relative to the current directory.
std::wstring SkinFolder(std::wstring_view installPath, SkinFolderId id);

// SkinFolder + component name + state suffix ("0.bmp", "10.bmp", "T.bmp").
std::wstring SkinPictureFile(std::wstring_view skinFolder, std::wstring_view component,
                             std::wstring_view suffix);

// The resource name of a component's built-in (state 0) picture: "<SKINFOLDER>_<COMPONENT>" in
// upper case, e.g. MAIN_IMG_MAINAPPLY.
std::wstring BuiltinPictureName(std::wstring_view skinFolderName, std::wstring_view component);

// InstallPath + "\lang\UILANG.ini"; empty without an installation folder.
std::wstring LanguageFilePath(std::wstring_view installPath);

}  // namespace tavrine::ui

#include "ui/SkinPaths.h"

namespace tavrine::ui {
namespace {

struct FolderRow {
    SkinFolderId id;
    std::wstring_view suffix;
    std::wstring_view name;
};

constexpr FolderRow kFolders[] = {
    {SkinFolderId::Main, L"\\skin\\Main\\", L"Main"},
    {SkinFolderId::Common, L"\\skin\\Common", L"Common"},
    {SkinFolderId::Tkey, L"\\skin\\Tkey\\", L"Tkey"},
    {SkinFolderId::Macro, L"\\skin\\Macro\\", L"Macro"},
    {SkinFolderId::Perform, L"\\skin\\Perform\\", L"Perform"},
    {SkinFolderId::Light, L"\\skin\\Light\\", L"Light"},
    {SkinFolderId::Warning, L"\\skin\\Warning\\", L"Warning"},
};

const FolderRow& Row(SkinFolderId id) {
    for (const FolderRow& r : kFolders)
        if (r.id == id) return r;
    return kFolders[0];
}

}  // namespace

std::wstring_view SkinFolderSuffix(SkinFolderId id) { return Row(id).suffix; }
std::wstring_view SkinFolderName(SkinFolderId id) { return Row(id).name; }

std::wstring SkinFolder(std::wstring_view installPath, SkinFolderId id) {
    if (installPath.empty()) return {};
    return std::wstring(installPath) + std::wstring(SkinFolderSuffix(id));
}

std::wstring SkinPictureFile(std::wstring_view skinFolder, std::wstring_view component,
                             std::wstring_view suffix) {
    std::wstring path(skinFolder);
    path += component;
    path += suffix;
    return path;
}

std::wstring BuiltinPictureName(std::wstring_view skinFolderName, std::wstring_view component) {
    std::wstring name(skinFolderName);
    name += L'_';
    name += component;
    // Resource names are matched without regard to case; upper case is their usual spelling.
    for (wchar_t& c : name)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return name;
}

std::wstring LanguageFilePath(std::wstring_view installPath) {
    if (installPath.empty()) return {};
    return std::wstring(installPath) + L"\\lang\\UILANG.ini";
}

}  // namespace tavrine::ui

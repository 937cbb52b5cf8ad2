// The rest of the install tree: language files, the help page and the built-in picture resources.

#include <gtest/gtest.h>

#include <BuiltinPictures.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tests/native/assets/AssetFiles.h"

using namespace assets_test;

namespace {

const std::filesystem::path kProgramDir = TAVRINE_PROGRAM_DIR;

std::set<int> ExpectedNumbers() {
    std::set<int> out;
    for (int n = 1; n <= 87; ++n)
        if (n != 17 && n != 49) out.insert(n);
    return out;
}

size_t CodePoints(const std::string& utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

// Checks one language file and returns its texts by number.
std::map<int, std::string> CheckLanguageFile(const std::filesystem::path& file) {
    const auto ini = ReadIni(file);
    EXPECT_TRUE(ini.has_value()) << file;
    if (!ini) return {};
    EXPECT_TRUE(ini->utf16WithBom) << file << ": the Windows reader needs UTF-16 with a byte-order mark";
    EXPECT_EQ(ini->sections, std::vector<std::string>{"LNG"}) << file;
    std::map<int, std::string> texts;
    for (const auto& [key, value] : ini->entries) {
        // the program looks keys up as decimal numbers without leading zeros
        if (key.empty() || key.find_first_not_of("0123456789") != std::string::npos) {
            ADD_FAILURE() << file << ": key '" << key << "' is not a number";
            continue;
        }
        const int n = std::stoi(key);
        EXPECT_EQ(std::to_string(n), key) << file << ": key written differently from its number";
        EXPECT_TRUE(texts.emplace(n, value).second) << file << ": key " << n << " twice";
        EXPECT_FALSE(value.empty()) << file << ": key " << n << " has no text";
        EXPECT_LE(CodePoints(value), 511u) << file << ": key " << n << " longer than the lookup buffer";
    }
    std::set<int> got;
    for (const auto& [n, _] : texts) got.insert(n);
    EXPECT_EQ(got, ExpectedNumbers()) << file;
    return texts;
}

std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Narrow(const wchar_t* w) {
    std::string out;
    for (; *w; ++w) out += static_cast<char>(*w);
    return out;
}

}  // namespace

TEST(LanguageFile, EnglishHasEveryNumberWithTheBuiltInTexts) {
    const auto texts = CheckLanguageFile(kProgramDir / "lang" / "UILANG.ini");
    if (texts.empty()) return;
    EXPECT_EQ(texts.at(57), "OK");
    EXPECT_EQ(texts.at(37), "When Press & Hold");
    EXPECT_EQ(texts.at(52), "Please plug-in Gaming Device to start the AP configuration!");
    // leading spaces survive the reader only inside quotes
    EXPECT_EQ(texts.at(83), "\"  press\"");
    EXPECT_EQ(texts.at(84), "\"  release\"");
}

TEST(LanguageFile, GermanSampleIsACompleteTranslation) {
    const auto english = CheckLanguageFile(kProgramDir / "lang" / "UILANG.ini");
    const auto german = CheckLanguageFile(kProgramDir / "lang" / "samples" / "UILANG.de.ini");
    ASSERT_EQ(english.size(), german.size());
    size_t translated = 0;
    for (const auto& [n, text] : german) translated += english.at(n) != text;
    EXPECT_GE(translated, german.size() * 9 / 10) << "most texts should differ from the English ones";
    EXPECT_EQ(german.at(4), "Schlie\xc3\x9f" "en");  // non-ASCII text survives the UTF-16 conversion
}

TEST(HelpPage, IsAPageWhoseInPageLinksAllLand) {
    const std::string html = ReadText(kProgramDir / "help" / "UserInterfaceSetupGuide.html");
    ASSERT_FALSE(html.empty());
    EXPECT_NE(html.find("<title>"), std::string::npos);
    std::set<std::string> ids, links;
    const std::regex id("id=\"([^\"]+)\""), href("href=\"#([^\"]+)\"");
    for (std::sregex_iterator it(html.begin(), html.end(), id), end; it != end; ++it) ids.insert((*it)[1]);
    for (std::sregex_iterator it(html.begin(), html.end(), href), end; it != end; ++it) links.insert((*it)[1]);
    EXPECT_GE(links.size(), 8u);
    for (const auto& l : links) EXPECT_TRUE(ids.count(l)) << "link to missing #" << l;
}

TEST(BuiltinPictures, ResourceScriptPointsEveryResourceAtItsStateZeroFile) {
    std::map<std::string, std::string> rc;
    std::istringstream in(ReadText(std::filesystem::path(TAVRINE_ASSETS_DIR) / "BuiltinPictures.rc"));
    const std::regex entry(R"re(^(\w+) BITMAP "([^"]+)"$)re");
    std::string line;
    while (std::getline(in, line)) {
        std::smatch m;
        if (std::regex_match(line, m, entry)) {
            EXPECT_TRUE(rc.emplace(m[1], m[2]).second) << m[1];
        }
    }
    for (const auto& row : ReadPictureTable(TAVRINE_PICTURE_TABLE)) {
        if (row["resource"] == "-") continue;
        ASSERT_TRUE(rc.count(row["resource"])) << row["resource"];
        EXPECT_EQ(std::filesystem::path(rc.at(row["resource"])), PicturePath(row));
        EXPECT_TRUE(std::filesystem::exists(rc.at(row["resource"]))) << rc.at(row["resource"]);
    }
    EXPECT_EQ(rc.at("MAIN_IMG_MAINAPPLY"), (kProgramDir / "skin/Main/Img_MainApply0.bmp").string());
    // a component showing another's pictures has a resource of its own name with that picture
    EXPECT_EQ(rc.at("PERFORM_IMG_NODE3"), rc.at("PERFORM_IMG_NODE"));
    EXPECT_EQ(rc.at("MACRO_IMG_MD1"), rc.at("MACRO_IMG_MD"));
    // A picture with no skin file beside the programs carries its 2x copy as "<resource>_2X".
    std::set<std::string> twoX;
    for (auto it = rc.begin(); it != rc.end();) {
        const std::string& name = it->first;
        if (name.size() <= 3 || name.compare(name.size() - 3, 3, "_2X") != 0) {
            ++it;
            continue;
        }
        const std::filesystem::path base(rc.at(name.substr(0, name.size() - 3)));
        EXPECT_EQ(std::filesystem::path(it->second),
                  base.parent_path() / (base.stem().string() + "@2x" + base.extension().string()));
        EXPECT_TRUE(std::filesystem::exists(it->second)) << it->second;
        twoX.insert(name);
        it = rc.erase(it);
    }
    EXPECT_EQ(twoX, std::set<std::string>{"MACRO_IMAGELIST2_2X"});
    std::set<std::string> listed;
    for (const auto& e : BuiltinPictures::kEntries) listed.insert(Narrow(e.resource));
    EXPECT_EQ(listed.size(), rc.size()) << "the script and the header name different resources";
}

TEST(BuiltinPictures, HeaderFindsOnePictureForEveryComponentOfEveryForm) {
    std::map<std::pair<std::string, std::string>, std::string> byComponent;
    for (const auto& e : BuiltinPictures::kEntries)
        EXPECT_TRUE(byComponent.emplace(std::pair{Narrow(e.form), Narrow(e.component)}, Narrow(e.resource)).second)
            << Narrow(e.form) << " " << Narrow(e.component) << " listed twice";
    std::vector<std::string> missing;
    for (const auto& row : ReadPictureTable(TAVRINE_PICTURE_TABLE)) {
        if (row["resource"] == "-") continue;
        std::stringstream forms(row["form"]);
        for (std::string form; std::getline(forms, form, ',');)
            if (!byComponent.count({form, row["component"]})) missing.push_back(form + " " + row["component"]);
    }
    EXPECT_TRUE(missing.empty()) << missing.size() << " components without a built-in picture, first "
                                 << (missing.empty() ? "" : missing.front());
    // Every resource name follows skin folder + component, so it can be found from the name alone,
    // also for components that show another component's pictures.
    EXPECT_EQ(byComponent.at({"MacroForm", "Img_md0"}), "MACRO_IMG_MD0");
    EXPECT_EQ(byComponent.at({"Perform1", "Img_node3"}), "PERFORM_IMG_NODE3");
    EXPECT_EQ(byComponent.at({"TavrineMainForm1", "Img_"}), "MAIN_IMG_");
    EXPECT_EQ(byComponent.at({"TKey", "Img_Ok"}), byComponent.at({"RepeatCount", "Img_Ok"}));
    EXPECT_NE(byComponent.at({"WarningForm1", "Image1"}), byComponent.at({"WarningForm2", "Image1"}));
    EXPECT_EQ(std::wstring(BuiltinPictures::MAIN_IMG_MAINAPPLY), L"MAIN_IMG_MAINAPPLY");
}

// The generated pictures (and their 2x copies) against the table: present, at their size and depth,
// lime only where keyed, and the mouse pictures lined up with the main window's hover areas.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/native/assets/AssetFiles.h"

using namespace assets_test;

namespace {

const std::vector<PictureRow>& Rows() {
    static const auto rows = ReadPictureTable(TAVRINE_PICTURE_TABLE);
    return rows;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& s : items) out += "\n  " + s;
    return out;
}

std::filesystem::path Skin(const std::string& folder, const std::string& file) {
    return std::filesystem::path(TAVRINE_PROGRAM_DIR) / "skin" / folder / file;
}

// The files the windows ask for by name (component + state suffix), from the windows' own rules.
std::vector<std::pair<std::string, std::string>> NamedByTheWindows() {
    std::vector<std::pair<std::string, std::string>> out;
    auto states = [&](const std::string& folder, std::initializer_list<const char*> comps,
                      std::initializer_list<const char*> suffixes) {
        for (const char* c : comps)
            for (const char* s : suffixes) out.emplace_back("skin/" + folder, std::string(c) + s + ".bmp");
    };
    states("Main", {"Img_Reset", "Img_Web", "Img_Help", "Img_Close", "Img_Macro", "Img_Light", "Img_Perform",
                    "Img_MainApply", "Img_MainCancel", "Img_MainOk", "Img_Profile0", "Img_Profile1", "Img_Profile2",
                    "Img_Profile3", "Img_Profile4"},
           {"0", "1", "2"});
    states("Main", {"Img_T", "Img_Single", "Img_Default", "Img_Launch"}, {"0", "1", "2", "3"});
    states("Main", {"Img_LBtn", "Img_RBtn"}, {"00", "10"});
    states("Main", {"Img_MBtn"}, {"00", "11", "0"});
    states("Main", {"Img_"}, {"T", "S", "D", "L"});
    states("Common", {"Img_Logo"}, {"0", "1"});
    states("Tkey", {"Img_Ok", "Img_Cancel", "Img_Box0", "Img_Box1", "Img_Box2", "Img_Box3"}, {"0", "1", "2"});
    states("Tkey", {"Img_m"}, {"0", "1"});
    states("Macro", {"Img_new", "Img_load", "Img_save", "Img_delete", "Img_record", "Img_stop", "Img_del", "Img_up",
                     "Img_down", "Img_r1", "Img_r2", "Img_r3"},
           {"0", "1", "2", "3"});
    states("Macro", {"Img_Ok", "Img_Cancel", "Img_Apply", "Img_box1", "Img_box2"}, {"0", "1", "2"});
    states("Macro", {"Img_md", "Img_mu"}, {"0", "1"});
    states("Perform", {"Img_Ok", "Img_Cancel", "Img_Apply", "Img_Reset", "Img_125hz", "Img_500hz", "Img_1000hz",
                       "Img_One"},
           {"0", "1", "2"});
    states("Perform", {"Img_node"}, {"0", "1"});
    states("Light", {"Img_Wheel", "Img_Logo"}, {"On0", "On1", "Off0", "Off1"});
    states("Light", {"Img_On", "Img_Off", "Img_Ok", "Img_Cancel", "Img_Apply"}, {"0", "1", "2"});
    states("Warning", {"Img_Ok", "Img_Cancel", "Img_Yes"}, {"0", "1", "2"});
    for (int n = 1; n <= 12; ++n) out.emplace_back("skin/Load", (n < 10 ? "loading0" : "loading") + std::to_string(n) + ".png");
    for (const char* f : {"web_back", "web_forward", "lock", "unlock", "lv-bg", "poll"}) out.emplace_back(".", std::string(f) + ".png");
    for (int n = 1; n <= 5; ++n) out.emplace_back(".", "profile" + std::to_string(n) + ".png");
    for (int d = 0; d <= 9; ++d) {
        out.emplace_back(".", "nuw" + std::to_string(d) + ".png");
        out.emplace_back(".", "nu" + std::to_string(d) + ".png");
    }
    return out;
}

bool Greenish(Rgb p) { return !(p == kLime) && p.g > p.r + 40 && p.g > p.b + 40; }

// A row's picture and, for every picture but the icons, its 2x copy "name@2x.ext": each with its
// scale.
std::vector<std::pair<std::filesystem::path, int>> Copies(const PictureRow& row) {
    const auto file = PicturePath(row);
    std::vector<std::pair<std::filesystem::path, int>> out{{file, 1}};
    if (row["lime"] != "icon")
        out.emplace_back(file.parent_path() / (file.stem().string() + "@2x" + file.extension().string()), 2);
    return out;
}

}  // namespace

TEST(PictureTable, ListsEveryPictureTheWindowsNameOnce) {
    std::set<std::pair<std::string, std::string>> listed, duplicates;
    std::set<std::string> resources;
    std::vector<std::string> problems;
    for (const auto& row : Rows()) {
        if (!listed.emplace(row["folder"], row["file"]).second) problems.push_back("twice: " + row["file"]);
        if (row["resource"] != "-" && !resources.insert(row["resource"]).second)
            problems.push_back("resource twice: " + row["resource"]);
        // the windows build every skin file name from component + state; backgrounds are built in
        const bool named = row["folder"].rfind("skin/", 0) == 0 && row["style"].rfind("scene:", 0) != 0 &&
                           row["folder"] != "skin/Load";
        if (named && row["file"] != row["component"] + row["state"] + ".bmp")
            problems.push_back("not component+state: " + row["file"]);
    }
    for (const auto& want : NamedByTheWindows())
        if (!listed.count(want)) problems.push_back("missing from the table: " + want.first + "/" + want.second);
    EXPECT_TRUE(problems.empty()) << Join(problems);
}

TEST(PictureTree, EveryPictureExistsAtItsSizeAndDepth) {
    std::vector<std::string> problems;
    for (const auto& row : Rows()) {
        const auto file = PicturePath(row);
        const std::string want = std::to_string(row.Width()) + "x" + std::to_string(row.Height());
        if (row["lime"] == "icon") {
            // Windows picks the small and the large icon from one file
            const auto sizes = ReadIconSizes(file);
            const std::set<std::pair<int, int>> have(sizes.begin(), sizes.end());
            if (!have.count({16, 16}) || !have.count({32, 32}) || !have.count({row.Width(), row.Height()}))
                problems.push_back(file.string() + ": icon without 16, 32 and " + want);
            continue;
        }
        for (const auto& [copy, zoom] : Copies(row)) {
            const int w = row.Width() * zoom, h = row.Height() * zoom;
            const std::string wantCopy = std::to_string(w) + "x" + std::to_string(h);
            if (row["lime"] == "alpha") {
                const auto png = ReadPngHeader(copy);
                if (!png) {
                    problems.push_back("no PNG: " + copy.string());
                } else if (static_cast<int>(png->width) != w || static_cast<int>(png->height) != h ||
                           png->colourType != 6 || png->bitDepth != 8) {
                    problems.push_back(copy.string() + ": " + std::to_string(png->width) + "x" +
                                       std::to_string(png->height) + " type " + std::to_string(png->colourType) +
                                       ", want " + wantCopy + " RGBA");
                }
                continue;
            }
            const auto bmp = ReadBmp(copy);
            if (!bmp) {
                problems.push_back("no BMP: " + copy.string());
            } else if (bmp->width != w || bmp->height != h || bmp->bitsPerPixel != 24 || bmp->compression != 0) {
                problems.push_back(copy.string() + ": " + std::to_string(bmp->width) + "x" +
                                   std::to_string(bmp->height) + " " + std::to_string(bmp->bitsPerPixel) +
                                   " bit, want " + wantCopy + " 24 bit");
            }
        }
    }
    EXPECT_TRUE(problems.empty()) << Join(problems);
}

TEST(PictureTree, LimeOnlyWhereKeyedAndNeverAsAFringe) {
    std::vector<std::string> problems;
    for (const auto& row : Rows()) {
        if (row["lime"] == "alpha" || row["lime"] == "icon") continue;
        for (const auto& [copy, zoom] : Copies(row)) {
            const auto bmp = ReadBmp(copy);
            if (!bmp || bmp->pixels.empty()) continue;  // reported by the size test
            size_t lime = 0, fringe = 0;
            for (const Rgb p : bmp->pixels) {
                lime += p == kLime;
                fringe += Greenish(p);
            }
            const std::string name = copy.filename().string();
            if (row["lime"] == "none" && lime) problems.push_back(name + ": " + std::to_string(lime) + " lime pixels");
            if (row["lime"] == "key" && !lime) problems.push_back(name + ": keyed but has no lime");
            if (fringe) problems.push_back(name + ": " + std::to_string(fringe) + " lime-blended pixels");
        }
    }
    EXPECT_TRUE(problems.empty()) << Join(problems);
}

TEST(PictureTree, CutOutPicturesJoinTheirBackgroundWithoutASeam) {
    const std::map<std::string, std::filesystem::path> backgrounds = {
        {"main", Skin("Main", "Img_main0.bmp")}, {"light", Skin("Light", "Img_LightOption0.bmp")}};
    std::vector<std::string> problems;
    int checked = 0;
    for (const auto& row : Rows()) {
        const std::string& style = row["style"];
        if (style.rfind("crop:", 0) != 0) continue;
        const auto scene = style.substr(5, style.find(':', 5) - 5);
        const auto rest = style.substr(6 + scene.size());
        const int ox = std::stoi(rest.substr(0, rest.find(':'))), oy = std::stoi(rest.substr(rest.find(':') + 1));
        const auto bg = ReadBmp(backgrounds.at(scene));
        const auto pic = ReadBmp(PicturePath(row));
        ASSERT_TRUE(bg && pic && !bg->pixels.empty() && !pic->pixels.empty()) << row["file"];
        size_t border = 0, same = 0;
        for (int y = 0; y < pic->height; ++y)
            for (int x = 0; x < pic->width; ++x) {
                if (x != 0 && y != 0 && x != pic->width - 1 && y != pic->height - 1) continue;
                ++border;
                same += pic->At(x, y) == bg->At(ox + x, oy + y);
            }
        if (same < border * 97 / 100)
            problems.push_back(row["file"] + ": " + std::to_string(border - same) + " of " + std::to_string(border) +
                               " edge pixels differ from the background");
        ++checked;
    }
    EXPECT_GE(checked, 19);
    EXPECT_TRUE(problems.empty()) << Join(problems);
}

// Share of the pixels of an area (window coordinates) where a picture placed at ox, oy differs from
// the background.
double ChangedShare(const Bitmap& bg, const Bitmap& pic, int ox, int oy, int ax, int ay, int aw, int ah) {
    size_t total = 0, changed = 0;
    for (int y = ay; y < ay + ah; ++y)
        for (int x = ax; x < ax + aw; ++x) {
            if (x < ox || y < oy || x >= ox + pic.width || y >= oy + pic.height) continue;
            ++total;
            changed += !(pic.At(x - ox, y - oy) == bg.At(x, y));
        }
    return total ? static_cast<double>(changed) / static_cast<double>(total) : 0.0;
}

TEST(MainPicture, ButtonHighlightsCoverTheHoverAreas) {
    const auto bg = ReadBmp(Skin("Main", "Img_main0.bmp"));
    ASSERT_TRUE(bg && !bg->pixels.empty());
    struct Case {
        const char* file;
        int ox, oy;            // where the window shows the picture
        int ax, ay, aw, ah;    // the hover area it highlights
        double minChanged;
    };
    const Case cases[] = {
        {"Img_LBtn00.bmp", 251, 223, 254, 223, 81, 173, 0.6}, {"Img_LBtn10.bmp", 251, 223, 254, 223, 81, 173, 0.6},
        {"Img_RBtn00.bmp", 334, 223, 334, 223, 81, 173, 0.6}, {"Img_RBtn10.bmp", 334, 223, 334, 223, 81, 173, 0.6},
        {"Img_XBtn10.bmp", 219, 314, 231, 316, 13, 44, 0.6},  {"Img_XBtn20.bmp", 219, 360, 230, 364, 11, 79, 0.6},
        {"Img_MBtn11.bmp", 319, 257, 320, 256, 33, 57, 0.3},  {"Img_MBtn0.bmp", 319, 257, 320, 256, 33, 57, 0.05},
    };
    for (const auto& c : cases) {
        const auto pic = ReadBmp(Skin("Main", c.file));
        ASSERT_TRUE(pic && !pic->pixels.empty()) << c.file;
        EXPECT_GE(ChangedShare(*bg, *pic, c.ox, c.oy, c.ax, c.ay, c.aw, c.ah), c.minChanged) << c.file;
    }
    // The wheel picture is always shown; with the light off it must look exactly like the background.
    const auto wheelOff = ReadBmp(Skin("Main", "Img_MBtn00.bmp"));
    ASSERT_TRUE(wheelOff && !wheelOff->pixels.empty());
    EXPECT_EQ(ChangedShare(*bg, *wheelOff, 319, 257, 319, 257, 33, 64), 0.0);
    // The left highlight stays left of the groove: the right button's area keeps the background.
    const auto left = ReadBmp(Skin("Main", "Img_LBtn00.bmp"));
    EXPECT_EQ(ChangedShare(*bg, *left, 251, 223, 335, 223, 80, 173), 0.0);
}

TEST(LightPicture, OnAndSelectedStatesLookDifferent) {
    for (const char* comp : {"Img_Wheel", "Img_Logo"}) {
        std::vector<Bitmap> states;
        for (const char* s : {"On0", "On1", "Off0", "Off1"}) {
            const auto bmp = ReadBmp(Skin("Light", std::string(comp) + s + ".bmp"));
            ASSERT_TRUE(bmp && !bmp->pixels.empty()) << comp << s;
            states.push_back(*bmp);
        }
        for (size_t i = 0; i < states.size(); ++i)
            for (size_t j = i + 1; j < states.size(); ++j)
                EXPECT_NE(states[i].pixels, states[j].pixels) << comp << " states " << i << " and " << j;
    }
}

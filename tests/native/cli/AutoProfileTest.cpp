// Automatic profiles by program: matching the program in front against the rules, the settling
// state machine on a fake clock, the stored form, the `auto` commands and the bundle section.
#include <gtest/gtest.h>

#include <chrono>

#include <nlohmann/json.hpp>

#include "cli/AutoCommands.h"
#include "cli/AutoProfileStore.h"
#include "cli/AutoRules.h"
#include "cli/BundleJson.h"
#include "cli/BundleStore.h"
#include "cli/CliArgs.h"
#include "cli/FrontTracker.h"
#include "cli/ProfileSettler.h"
#include "cli/Utf8.h"
#include "device/SettingsLayout.h"
#include "tests/native/cli/CliTestKit.h"

using namespace std::chrono_literals;

using cli::AutoProfile;
using cli::AutoRule;
using cli::CliArgs;
using cli::Hold;
using cli::ProfileFor;
using cli::ProfileSettler;
using cli::ToUtf8;
using Ms = std::chrono::milliseconds;

using platform::MemorySettingsStore;
using platform::SettingsHive;

namespace {

const std::wstring kGame = L"C:\\Games\\Skyforge\\Skyforge.exe";
const std::wstring kLauncher = L"C:\\Games\\Skyforge\\Launcher.exe";
const std::wstring kEditor = L"C:\\Windows\\notepad.exe";

AutoProfile Rules(std::vector<AutoRule> rules, std::optional<int> fallback = std::nullopt) {
    AutoProfile settings;
    settings.rules = std::move(rules);
    settings.fallback = fallback;
    return settings;
}

CliArgs Auto(std::vector<std::wstring> words) {
    words.insert(words.begin(), L"auto");
    const auto parse = cli::ParseCliArgs(words);
    EXPECT_TRUE(parse.ok) << ToUtf8(parse.error);
    return parse.args;
}

}  // namespace

TEST(AutoRules, NamesPathsWildcardsAndCaseFirstMatchThenFallback) {
    const AutoProfile settings = Rules({{L"SKYFORGE.EXE", 3},
                                        {L"c:/games/*/launcher.exe", 2},
                                        {L"C:\\Games\\*", 4},
                                        {L"skyforge.exe", 5}},
                                       1);
    EXPECT_EQ(ProfileFor(settings, kGame), 3);                      // name, any case, first match
    EXPECT_EQ(ProfileFor(settings, kLauncher), 2);                  // path with a star, / for \ .
    EXPECT_EQ(ProfileFor(settings, L"C:\\Games\\x\\y\\z.exe"), 4);  // * crosses folders
    EXPECT_EQ(ProfileFor(settings, kEditor), 1);                    // fallback
    EXPECT_EQ(ProfileFor(settings, L""), std::nullopt);             // unknown program: stay
    EXPECT_EQ(ProfileFor(Rules({{L"game.exe", 2}}), kEditor), std::nullopt);  // no fallback

    // A name rule is the whole file name, not a part of it or of a folder.
    EXPECT_FALSE(cli::RuleMatches(L"forge.exe", kGame));
    EXPECT_FALSE(cli::RuleMatches(L"Skyforge", kGame));
    EXPECT_TRUE(cli::RuleMatches(L"sky*.EXE", kGame));
    EXPECT_TRUE(cli::RuleMatches(L"*", kGame));
    EXPECT_FALSE(cli::RuleMatches(L"C:\\Games\\Skyforge.exe", kGame));
    // Letters beyond ASCII fold as Windows folds file names.
    EXPECT_TRUE(cli::RuleMatches(L"ÜBERSPIEL.exe", L"D:\\überspiel.EXE"));
    EXPECT_TRUE(cli::RuleMatches(L"ИГРА.exe", L"D:\\игра.exe"));
    EXPECT_TRUE(cli::RuleMatches(L"ŁÓDŹ.exe", L"D:\\łódź.exe"));
    EXPECT_FALSE(cli::RuleMatches(L"a×b.exe", L"D:\\a÷b.exe"));
    // Many stars against a long near-miss stay quick (no exponential back-tracking).
    EXPECT_FALSE(cli::WildcardMatch(L"*a*a*a*a*a*a*a*a*a*a*b", std::wstring(5000, L'a')));
    EXPECT_TRUE(cli::WildcardMatch(L"a**b*", L"ab"));
}

TEST(AutoRules, BadRulesAreRefusedWithOneLineAndAddReplacesInPlace) {
    AutoProfile settings = Rules({{L"a.exe", 1}, {L"b.exe", 2}});
    EXPECT_EQ(cli::AddRule(settings, L"B.EXE", 5), L"");
    EXPECT_EQ(settings.rules[1], (AutoRule{L"B.EXE", 5}));  // same place, new text
    EXPECT_EQ(cli::AddRule(settings, L"c.exe", 4), L"");
    EXPECT_EQ(settings.rules.back().program, L"c.exe");

    const AutoProfile kept = settings;
    struct Case {
        std::wstring program;
        int profile;
        std::wstring reason;
    };
    for (const Case& bad : std::vector<Case>{{L"", 1, L"empty"},
                                             {L"x.exe", 6, L"1 to 5"},
                                             {L"x.exe", 0, L"1 to 5"},
                                             {L"a|b.exe", 1, L"cannot"},
                                             {L"what?.exe", 1, L"cannot"},
                                             {L"C:\\Games\\", 1, L"names no file"},
                                             {L" x.exe", 1, L"space"},
                                             {std::wstring(1025, L'x'), 1, L"longer"}}) {
        const std::wstring why = cli::AddRule(settings, bad.program, bad.profile);
        EXPECT_NE(why.find(bad.reason), std::wstring::npos) << ToUtf8(why);
        EXPECT_EQ(why.find(L'\n'), std::wstring::npos);
        EXPECT_EQ(settings, kept);
    }
    for (int i = 0; static_cast<int>(settings.rules.size()) < cli::kMaxAutoRules; ++i)
        ASSERT_EQ(cli::AddRule(settings, L"g" + std::to_wstring(i) + L".exe", 1), L"");
    EXPECT_NE(cli::AddRule(settings, L"one-more.exe", 1).find(L"more than 100"),
              std::wstring::npos);

    EXPECT_TRUE(cli::RemoveRule(settings, L"A.exe"));
    EXPECT_FALSE(cli::RemoveRule(settings, L"a.exe"));
    EXPECT_NE(cli::CheckAutoProfile(Rules({{L"x.exe", 1}, {L"X.EXE", 2}})).find(L"rule 2"),
              std::wstring::npos);
    EXPECT_NE(cli::CheckAutoProfile(Rules({}, 7)).find(L"fallback"), std::wstring::npos);
}

TEST(ProfileSettler, AChangeSwitchesOnlyAfterHoldingForTheSettlingTime) {
    ProfileSettler settler;  // default 1.5 s
    settler.SetRules(Rules({{L"skyforge.exe", 3}}, 1), 0ms);
    settler.Observe(kEditor, 1000ms);
    EXPECT_EQ(settler.NextDue(), 2500ms);
    EXPECT_FALSE(settler.Due(2499ms));
    EXPECT_EQ(settler.Decide(2499ms, 2), std::nullopt);  // not yet: nothing decided
    EXPECT_EQ(settler.Decide(2500ms, 2), 1);             // fallback for the editor
    EXPECT_EQ(settler.NextDue(), std::nullopt);          // handled: no timer until a change

    // Alt+Tab to the game and back within the settling time: decided for the editor again, and
    // the mouse, already on its profile, gets no write.
    settler.Observe(kGame, 3000ms);
    settler.Observe(kEditor, 3400ms);
    EXPECT_EQ(settler.NextDue(), 4900ms);
    EXPECT_EQ(settler.Decide(4900ms, 1), std::nullopt);

    // A launcher handing over to its game: only the game's profile, settled from the hand-over.
    settler.Observe(kLauncher, 6000ms);
    settler.Observe(kGame, 6800ms);
    EXPECT_EQ(settler.Decide(7500ms, 1), std::nullopt);
    EXPECT_EQ(settler.Decide(8300ms, 1), 3);
    // Another window of the same program does not start the clock again.
    settler.Observe(kGame, 9000ms);
    EXPECT_EQ(settler.NextDue(), std::nullopt);

    // A burst of a thousand changes: one decision, for the last program, after it settled.
    int decisions = 0;
    for (int i = 0; i < 1000; ++i) {
        settler.Observe(i % 2 ? kGame : kEditor, std::chrono::milliseconds(10000 + i));
        if (settler.Decide(std::chrono::milliseconds(10000 + i), 3)) ++decisions;
    }
    EXPECT_EQ(decisions, 0);
    EXPECT_EQ(settler.NextDue(), 10999ms + 1500ms);
    EXPECT_EQ(settler.Decide(12499ms, 1), 3);
    EXPECT_EQ(settler.Decide(12600ms, 1), std::nullopt);  // once

    // A mouse that did not answer the read is not written to.
    settler.Observe(kEditor, 20000ms);
    EXPECT_EQ(settler.Decide(21500ms, std::nullopt), std::nullopt);
    // No rule and no fallback: nothing to do, whatever the mouse holds.
    settler.SetRules(Rules({{L"skyforge.exe", 3}}), 21600ms);
    EXPECT_EQ(settler.Decide(21600ms, 5), std::nullopt);

    ProfileSettler quick(200ms);  // the watcher's --settle wins over the stored time
    AutoProfile stored = Rules({{L"skyforge.exe", 3}});
    stored.settleMs = 5000;
    quick.SetRules(stored, 0ms);
    quick.Observe(kGame, 100ms);
    EXPECT_EQ(quick.NextDue(), 300ms);
    ProfileSettler fromStore;
    fromStore.SetRules(stored, 0ms);
    fromStore.Observe(kGame, 100ms);
    EXPECT_EQ(fromStore.NextDue(), 5100ms);
}

TEST(ProfileSettler, AMouseNotAnsweringIsAskedAgainAfterABackOffAFewTimes) {
    constexpr auto kBackOff = ProfileSettler::kRetryBackoff;
    ProfileSettler settler(500ms);
    settler.SetRules(Rules({{L"skyforge.exe", 3}}), 0ms);
    settler.Observe(kGame, 0ms);
    // The read gets no answer: asked again after the back-off, up to the limit, then left
    // until something changes.
    Ms at = 500ms;
    for (int retry = 0; retry < ProfileSettler::kRetries; ++retry) {
        EXPECT_EQ(settler.Decide(at, std::nullopt), std::nullopt);
        ASSERT_EQ(settler.NextDue(), at + kBackOff) << "retry " << retry;
        EXPECT_EQ(settler.Decide(at + kBackOff - 1ms, 1), std::nullopt);
        at += kBackOff;
    }
    EXPECT_EQ(settler.Decide(at, std::nullopt), std::nullopt);
    EXPECT_EQ(settler.NextDue(), std::nullopt);

    // Another program in front starts afresh; the mouse answers at the first retry.
    settler.Observe(kEditor, 10000ms);
    settler.Observe(kGame, 10100ms);
    EXPECT_EQ(settler.Decide(10600ms, std::nullopt), std::nullopt);
    EXPECT_EQ(settler.Decide(10600ms + kBackOff, 1), 3);
    // The switch itself failed: asked again after the back-off, and not when it is already
    // right by then.
    settler.SwitchFailed(11700ms);
    EXPECT_EQ(settler.NextDue(), 11700ms + kBackOff);
    EXPECT_EQ(settler.Decide(11700ms + kBackOff, 3), std::nullopt);
    EXPECT_EQ(settler.NextDue(), std::nullopt);
    // A change during the failed switch is decided on its own clock, not the back-off.
    settler.Observe(kGame, 13000ms);  // same program: nothing
    settler.Observe(kEditor, 13000ms);
    settler.SwitchFailed(13100ms);
    EXPECT_EQ(settler.NextDue(), 13500ms);
}

TEST(ProfileSettler, TheMouseIsReadJustBeforeTheDueTimeForThatDecisionOnly) {
    constexpr auto kAhead = ProfileSettler::kReadAhead;
    ProfileSettler settler(500ms);
    settler.SetRules(Rules({{L"skyforge.exe", 3}}, 1), 0ms);
    settler.Observe(kGame, 1000ms);
    EXPECT_EQ(settler.NextWake(), 1500ms - kAhead);
    EXPECT_FALSE(settler.ReadDue(1500ms - kAhead - 1ms));
    ASSERT_TRUE(settler.ReadDue(1500ms - kAhead));
    settler.TakeRead(1);
    // Read: the next wake is the decision, and the write still waits for the settling time.
    EXPECT_FALSE(settler.ReadDue(1490ms));
    EXPECT_EQ(settler.NextWake(), 1500ms);
    EXPECT_EQ(settler.Decide(1499ms), std::nullopt);
    EXPECT_EQ(settler.Decide(1500ms), 3);
    EXPECT_EQ(settler.NextWake(), std::nullopt);

    // A flip between the read and the due time throws the read away: the program now in front
    // gets a read of its own, taken before its own due time.
    settler.Observe(kEditor, 2000ms);
    settler.TakeRead(3);
    settler.Observe(kGame, 2490ms);
    EXPECT_EQ(settler.Decide(2500ms), std::nullopt);
    EXPECT_EQ(settler.NextWake(), 2990ms - kAhead);
    settler.TakeRead(1);
    EXPECT_EQ(settler.Decide(2990ms), 3);

    // A hold that comes and goes between the read and the due time: read again.
    settler.Observe(kEditor, 4000ms);
    settler.TakeRead(3);
    settler.SetHold(Hold::ConfigurationProgram, true, 4480ms);
    settler.SetHold(Hold::ConfigurationProgram, false, 4490ms);
    EXPECT_TRUE(settler.ReadDue(4490ms));
    // Due with no read taken counts as a mouse that did not answer: no write, asked again.
    EXPECT_EQ(settler.Decide(4500ms), std::nullopt);
    EXPECT_EQ(settler.NextDue(), 4500ms + ProfileSettler::kRetryBackoff);
    // A read with nothing pending is not kept for a later decision.
    settler.TakeRead(3);
    settler.Observe(kGame, 6000ms);
    EXPECT_TRUE(settler.ReadDue(6500ms - kAhead));
}

TEST(FrontTracker, TheForegroundEventNamesTheWindowAFocusEventOnlyAnotherWindowInFront) {
    using cli::FrontEvent;
    cli::FrontTracker tracker;
    constexpr cli::FrontTracker::Window kAlpha = 0x100, kBeta = 0x200, kAlphaEdit = 0x104;
    tracker.Seen(kAlpha);
    // Focus moving inside the program in front, or an event with nothing in front: no news.
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Focus, kAlphaEdit, kAlpha), std::nullopt);
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Focus, kAlphaEdit, 0), std::nullopt);
    // Another window in front when focus moves (all Wine 8 reports): that window, once.
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Focus, kAlphaEdit, kBeta), kBeta);
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Focus, kBeta, kBeta), std::nullopt);
    // The foreground event names its window, whatever is in front by the time it is read (a
    // quick flip stays visible), and also when it repeats the last one.
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Foreground, kAlpha, kBeta), kAlpha);
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Foreground, kAlpha, kAlpha), kAlpha);
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Focus, kAlphaEdit, kBeta), kBeta);
    EXPECT_EQ(tracker.OnEvent(FrontEvent::Foreground, 0, kBeta), std::nullopt);

    // The age of an event from its stamp, across the tick count's wrap; a stamp from the
    // future or older than believable counts as now.
    using cli::EventAge;
    EXPECT_EQ(EventAge(1000, 990), 10ms);
    EXPECT_EQ(EventAge(5, 0xFFFFFFFBu), 10ms);
    EXPECT_EQ(EventAge(1000, 1010), 0ms);
    EXPECT_EQ(EventAge(10100, 100), cli::kLongestEventAge);
    EXPECT_EQ(EventAge(10101, 100), 0ms);
}

TEST(ProfileSettler, HoldsStopEverythingAndTheProgramInFrontIsActedOnWhenTheyEnd) {
    ProfileSettler settler(1000ms);
    settler.SetRules(Rules({{L"skyforge.exe", 3}}), 0ms);
    settler.SetHold(Hold::MouseAway, true, 0ms);
    settler.Observe(kGame, 100ms);
    EXPECT_EQ(settler.NextDue(), std::nullopt);
    EXPECT_EQ(settler.Decide(5000ms, 1), std::nullopt);
    // The mouse comes back long after: the game in front is acted on at once.
    settler.SetHold(Hold::MouseAway, false, 6000ms);
    EXPECT_EQ(settler.NextDue(), 6000ms);
    EXPECT_EQ(settler.Decide(6000ms, 1), 3);

    // The configuration program runs: nothing, however long; when it ends, the game again
    // (the user may have switched by hand meanwhile).
    settler.SetHold(Hold::ConfigurationProgram, true, 7000ms);
    settler.Observe(kEditor, 7100ms);
    settler.Observe(kGame, 7200ms);
    EXPECT_EQ(settler.Decide(9000ms, 2), std::nullopt);
    settler.SetHold(Hold::ConfigurationProgram, false, 7500ms);
    EXPECT_EQ(settler.NextDue(), 8200ms);  // a hold that ends early still waits out the change
    EXPECT_EQ(settler.Decide(8200ms, 2), 3);

    // Paused, and switched off by the rules, hold alike; both must end.
    settler.SetHold(Hold::Paused, true, 9000ms);
    AutoProfile off = Rules({{L"skyforge.exe", 4}});
    off.enabled = false;
    settler.SetRules(off, 9000ms);
    EXPECT_TRUE(settler.HeldBy(Hold::SwitchedOff));
    settler.SetHold(Hold::Paused, false, 9100ms);
    EXPECT_EQ(settler.NextDue(), std::nullopt);
    off.enabled = true;
    settler.SetRules(off, 9200ms);  // a new rule for the game in front applies at once
    EXPECT_EQ(settler.Decide(9200ms, 3), 4);
    settler.SetRules(off, 9250ms);  // the store changed elsewhere: the mouse is not asked again
    EXPECT_EQ(settler.NextDue(), std::nullopt);
    // Holds that begin and end change nothing handled twice: the mouse is on the profile.
    settler.SetHold(Hold::Paused, true, 9300ms);
    settler.SetHold(Hold::Paused, false, 9400ms);
    EXPECT_EQ(settler.Decide(9400ms, 4), std::nullopt);
}

TEST(AutoProfileStore, ValuesRoundTripAndDamagedOnesAreLeftOutAndNamed) {
    AutoProfile settings = Rules({{L"skyforge.exe", 3}, {L"C:\\Games\\*\\launcher.exe", 2}}, 1);
    settings.settleMs = 800;
    MemorySettingsStore store;
    ASSERT_TRUE(cli::WriteAutoProfile(store, settings).ok);
    auto dump = DumpStore(store);
    const auto& values = dump[L"\\SOFTWARE\\Tavrine5502\\AutoProfile"];
    EXPECT_EQ(values.at(L"Rule1"), L"s:3|skyforge.exe");
    EXPECT_EQ(values.at(L"Rule2"), L"s:2|C:\\Games\\*\\launcher.exe");
    EXPECT_EQ(values.at(L"Fallback"), L"i:1");
    EXPECT_EQ(values.at(L"Enabled"), L"i:1");
    EXPECT_EQ(values.at(L"SettleMs"), L"i:800");
    EXPECT_EQ(cli::ReadAutoProfile(store).settings, settings);

    // Fewer rules afterwards: the old last one goes, and so does a settling time not set.
    settings.rules.pop_back();
    settings.settleMs.reset();
    settings.fallback.reset();
    ASSERT_TRUE(cli::WriteAutoProfile(store, settings).ok);
    dump = DumpStore(store);
    EXPECT_EQ(dump[L"\\SOFTWARE\\Tavrine5502\\AutoProfile"].count(L"Rule2"), 0u);
    EXPECT_EQ(dump[L"\\SOFTWARE\\Tavrine5502\\AutoProfile"].count(L"SettleMs"), 0u);
    EXPECT_EQ(cli::ReadAutoProfile(store).settings, settings);
    // Refused settings change nothing.
    EXPECT_FALSE(cli::WriteAutoProfile(store, Rules({{L"x.exe", 9}})).ok);
    EXPECT_EQ(DumpStore(store), dump);

    // Edited by hand: a damaged rule is left out (and said), the ones after a gap are not read.
    const cli::StoredValues hand = {
        {L"rule1", std::wstring(L"2|a.exe")}, {L"Rule2", std::wstring(L"seven|b.exe")},
        {L"Rule3", std::wstring(L"4|c.exe")}, {L"Rule5", std::wstring(L"5|e.exe")},
        {L"Fallback", std::int32_t{0}},       {L"Enabled", std::int32_t{0}},
        {L"SettleMs", std::int32_t{-5}}};
    const cli::AutoProfileRead read = cli::DecodeAutoProfile(hand);
    EXPECT_EQ(read.settings.rules, (std::vector<AutoRule>{{L"a.exe", 2}, {L"c.exe", 4}}));
    EXPECT_FALSE(read.settings.enabled);
    EXPECT_FALSE(read.settings.fallback);
    EXPECT_FALSE(read.settings.settleMs);
    EXPECT_NE(read.problem.find(L"settling time"), std::wstring::npos) << ToUtf8(read.problem);
    // Nothing stored: on, no rules, no fallback.
    EXPECT_EQ(cli::ReadAutoProfile(*std::make_unique<MemorySettingsStore>()).settings,
              AutoProfile{});
}

TEST(AutoProfileStore, TheAutoCommandsChangeTheStoreAndListIt) {
    MemorySettingsStore store;
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"add", L"skyforge.exe", L"3"})).ok());
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"add", L"C:\\Tools\\*", L"2"})).ok());
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"fallback", L"1"})).ok());
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"off"})).ok());
    const auto list = cli::RunAutoCommand(store, Auto({L"list"}));
    EXPECT_EQ(list.out,
              "automatic profiles: off, a change counts after 1.5 s\n"
              "  1. skyforge.exe                      profile 3\n"
              "  2. C:\\Tools\\*                        profile 2\n"
              "  every other program                  profile 1\n");
    const auto json = cli::RunAutoCommand(store, Auto({L"list", L"--json"}));
    EXPECT_NE(json.out.find("\"enabled\": false"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"program\": \"skyforge.exe\""), std::string::npos) << json.out;

    const auto before = DumpStore(store);
    const auto missing = cli::RunAutoCommand(store, Auto({L"remove", L"other.exe"}));
    EXPECT_EQ(missing.error, L"there is no rule for other.exe");
    const auto bad = cli::RunAutoCommand(store, Auto({L"add", L"a<b.exe", L"2"}));
    EXPECT_NE(bad.error.find(L"cannot"), std::wstring::npos);
    EXPECT_FALSE(cli::RunAutoCommand(store, Auto({L"add", L"x.exe", L"6"})).ok());
    EXPECT_FALSE(cli::RunAutoCommand(store, Auto({L"fallback", L"0"})).ok());
    EXPECT_EQ(DumpStore(store), before);

    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"remove", L"SKYFORGE.EXE"})).ok());
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"fallback", L"none"})).ok());
    ASSERT_TRUE(cli::RunAutoCommand(store, Auto({L"on"})).ok());
    EXPECT_EQ(cli::ReadAutoProfile(store).settings, Rules({{L"C:\\Tools\\*", 2}}));

    // The command line's own mistakes.
    for (const auto& words :
         std::vector<std::vector<std::wstring>>{{L"auto"},
                                                {L"auto", L"add", L"x.exe"},
                                                {L"auto", L"jump"},
                                                {L"auto", L"on", L"--json"},
                                                {L"auto", L"fallback", L"two"},
                                                {L"watch", L"--settle"},
                                                {L"watch", L"--settle", L"99999"},
                                                {L"status", L"--settle", L"5"}}) {
        const auto parse = cli::ParseCliArgs(words);
        EXPECT_FALSE(parse.ok) << ToUtf8(words.back());
        EXPECT_FALSE(parse.error.empty());
    }
    const auto watch = cli::ParseCliArgs({L"watch", L"--settle", L"250"});
    ASSERT_TRUE(watch.ok);
    EXPECT_EQ(watch.args.command, cli::CliCommand::Watch);
    EXPECT_EQ(watch.args.settleMs, 250);
}

TEST(AutoProfileStore, TheBundleCarriesTheRulesAndRefusesBadOnes) {
    MemorySettingsStore original;
    SeedUsedStore(original);
    AutoProfile settings = Rules({{L"Grüße.exe", 2}, {L"C:\\Games\\*", 4}}, 5);
    settings.settleMs = 1200;
    ASSERT_TRUE(cli::WriteAutoProfile(original, settings).ok);
    const cli::Bundle exported = cli::ExportBundle(original);
    ASSERT_TRUE(exported.autoProfile);
    const std::string file = cli::BundleToJson(exported);
    EXPECT_NE(file.find("\"version\": 1"), std::string::npos);
    const auto parsed = cli::ParseBundle(file);
    ASSERT_TRUE(parsed.ok) << ToUtf8(parsed.error);
    EXPECT_EQ(parsed.bundle, exported);
    MemorySettingsStore fresh;
    ASSERT_TRUE(cli::ApplyBundle(fresh, parsed.bundle).ok);
    EXPECT_EQ(DumpStore(fresh), DumpStore(original));

    // A bundle without the section leaves the rules as they are.
    cli::Bundle without = exported;
    without.autoProfile.reset();
    EXPECT_EQ(cli::BundleToJson(without).find("autoProfile"), std::string::npos);
    AutoProfile mine = Rules({{L"mine.exe", 1}});
    ASSERT_TRUE(cli::WriteAutoProfile(fresh, mine).ok);
    ASSERT_TRUE(cli::ApplyBundle(fresh, without).ok);
    EXPECT_EQ(cli::ReadAutoProfile(fresh).settings, mine);

    const auto replaced = [&file](const std::string& from, const std::string& to) {
        std::string text = file;
        const auto at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    };
    const auto edited = [&file](auto change) {
        auto json = nlohmann::json::parse(file);
        change(json);
        return json.dump();
    };
    struct Case {
        std::string file;
        std::wstring reason;
    };
    for (const Case& bad : std::vector<Case>{
             {edited([](nlohmann::json& j) { j["autoProfile"]["rules"][1]["profile"] = 6; }),
              L"rule 2: the profile 6 is not 1 to 5"},
             {replaced("\"fallback\": 5", "\"fallback\": \"5\""), L"\"fallback\" is not a whole"},
             {replaced("\"enabled\": true", "\"enabled\": 1"), L"not true or false"},
             {replaced("C:\\\\Games\\\\*",
                       "Gr\xc3\xbc\xc3\x9f"
                       "e.EXE"),
              L"has a rule already"},
             {replaced("\"program\": \"C:", "\"programme\": \"C:"), L"lacks its"},
             {replaced("\"settleMs\": 1200", "\"settleMs\": 70000"), L"not 0 to 60000"}}) {
        const auto result = cli::ParseBundle(bad.file);
        EXPECT_FALSE(result.ok) << ToUtf8(bad.reason);
        EXPECT_NE(result.error.find(bad.reason), std::wstring::npos) << ToUtf8(result.error);
        EXPECT_EQ(result.error.find(L'\n'), std::wstring::npos);
    }
}

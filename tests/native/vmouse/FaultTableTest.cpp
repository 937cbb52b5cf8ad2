// The table of faults the control tool and the fault matrix read.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "vmouse/model/FaultTable.h"
#include "tests/native/vmouse/MouseTestKit.h"

namespace vmouse {
namespace {

std::vector<uint32_t> FieldValues(const Faults& f) {
    std::vector<uint32_t> values;
    ForEachFaultField(f,
                      [&](const auto& field) { values.push_back(static_cast<uint32_t>(field)); });
    return values;
}

// Each row sets exactly one field, a field no other row sets, reads back what it set and
// clears it with 0; together the rows reach every field.
TEST(FaultTable, EachRowOwnsOneFieldAndTheRowsCoverThemAll) {
    std::set<size_t> owned;
    for (const FaultKind& kind : kFaultKinds) {
        SCOPED_TRACE(kind.name);
        const uint32_t top = kind.argument == FaultArgument::OnOff ? 1 : kFaultArgumentMax;
        Faults f{};
        kind.set(f, top);
        EXPECT_EQ(kind.get(f), top);
        const std::vector<uint32_t> values = FieldValues(f);
        std::vector<size_t> changed;
        for (size_t i = 0; i < values.size(); ++i)
            if (values[i] != 0) changed.push_back(i);
        ASSERT_EQ(changed.size(), 1u);
        EXPECT_TRUE(owned.insert(changed[0]).second) << "field " << changed[0] << " has two rows";
        EXPECT_EQ(values[changed[0]], top);
        kind.set(f, 0);
        EXPECT_EQ(f, Faults{});
        EXPECT_NE(std::string(kind.description), "");
    }
    EXPECT_EQ(owned.size(), kFaultFieldCount);
}

// What a mouse shows of one write, one read and a press: a fault whose field the model never
// looks at leaves this as a clean mouse has it.
std::vector<testing::Report> Session(const Faults& faults) {
    VirtualMouse m;
    m.SetFaults(faults);
    std::vector<testing::Report> seen;
    seen.push_back({testing::Write(m, 0x20, {1}) ? uint8_t{1} : uint8_t{0}});
    seen.push_back(testing::Read(m, 0x0005, 1));
    m.PressDpi();
    for (const testing::Report& r : testing::Drain(m)) seen.push_back(r);
    return seen;
}

TEST(FaultTable, EveryFaultChangesWhatTheMouseDoes) {
    const auto clean = Session(Faults{});
    for (const FaultKind& kind : kFaultKinds) {
        Faults f{};
        kind.set(f, 1);  // the next write, one millisecond, on
        EXPECT_NE(Session(f), clean) << kind.name;
    }
}

TEST(FaultTable, NamesAreFoundExactly) {
    std::set<std::string> names;
    for (const FaultKind& kind : kFaultKinds) {
        const std::string name = kind.name;
        EXPECT_TRUE(names.insert(name).second) << name;
        const std::wstring wide(name.begin(), name.end());
        EXPECT_EQ(FindFault(wide.c_str()), &kind);
        EXPECT_EQ(FindFault((wide + L"x").c_str()), nullptr);
        EXPECT_EQ(FindFault(wide.substr(0, wide.size() - 1).c_str()), nullptr);
    }
    EXPECT_EQ(FindFault(L"clear"), nullptr);  // the tool's word for no faults at all
    EXPECT_EQ(FindFault(L""), nullptr);
    EXPECT_EQ(FindFault(nullptr), nullptr);
}

TEST(FaultTable, ArgumentsAreDecimalNumbersBelowTwoToThe31OrOnOff) {
    uint32_t v = 77;
    for (FaultArgument number : {FaultArgument::Count, FaultArgument::Milliseconds}) {
        EXPECT_TRUE(ParseFaultArgument(number, L"0", v) && v == 0);
        EXPECT_TRUE(ParseFaultArgument(number, L"3500", v) && v == 3500);
        EXPECT_TRUE(ParseFaultArgument(number, L"2147483647", v) && v == kFaultArgumentMax);
        v = 77;
        for (const wchar_t* bad : {L"2147483648", L"99999999999999999999", L"", L"-1", L"+5", L" 5",
                                   L"5 ", L"0x10", L"on"})
            EXPECT_FALSE(ParseFaultArgument(number, bad, v)) << bad;
        EXPECT_FALSE(ParseFaultArgument(number, nullptr, v));
        EXPECT_EQ(v, 77u);
    }
    EXPECT_TRUE(ParseFaultArgument(FaultArgument::OnOff, L"on", v) && v == 1);
    EXPECT_TRUE(ParseFaultArgument(FaultArgument::OnOff, L"off", v) && v == 0);
    for (const wchar_t* bad : {L"On", L"1", L"", L"onn", L"of"})
        EXPECT_FALSE(ParseFaultArgument(FaultArgument::OnOff, bad, v)) << bad;
}

}  // namespace
}  // namespace vmouse

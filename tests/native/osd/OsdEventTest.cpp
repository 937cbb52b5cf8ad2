// Event reports, queries and their answers, and the messages both ways.
#include "osd/core/OsdEvent.h"

#include <gtest/gtest.h>

#include <vector>

namespace vistrel {
namespace {

TEST(OsdEvent, OnlyASingleKnownEventBitAfterReportIdTwoAsksAQuery) {
    struct Case {
        std::vector<std::uint8_t> report;
        std::optional<Query> query;
    };
    const Case cases[] = {
        {{2, 1, 0, 0, 0, 0, 0, 0}, Query::DpiLevel},
        {{2, 2}, Query::PollingRate},
        {{2, 4, 9, 9}, Query::Profile},
        {{2, 8}, Query::Lock},
        {{2, 3}, std::nullopt},     // two bits
        {{2, 0x0C}, std::nullopt},  // two bits
        {{2, 0x10}, std::nullopt},  // a write acknowledgement, not an event
        {{2, 0}, std::nullopt},
        {{1, 1}, std::nullopt},  // key report
        {{3, 1}, std::nullopt},
        {{2}, std::nullopt},  // too short to hold the event byte
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QueryForEventReport(c.report), c.query)
            << "report of " << c.report.size()
            << " bytes, byte 1 = " << (c.report.size() > 1 ? int{c.report[1]} : -1);
    }
}

TEST(OsdEvent, QueriesAskTheirAddressAndTheirAnswersReachStateAndConfigurationProgram) {
    EXPECT_EQ(QueryRequest(Query::DpiLevel), (FeatureBuffer{4, 0x00, 0xFF, 2}));
    EXPECT_EQ(QueryRequest(Query::PollingRate), (FeatureBuffer{4, 0x01, 0xFF, 1}));
    EXPECT_EQ(QueryRequest(Query::Profile), (FeatureBuffer{4, 0x02, 0xFF, 2}));
    EXPECT_EQ(QueryRequest(Query::Lock), (FeatureBuffer{4, 0x05, 0xFF, 1}));

    DisplayState state;
    FeatureBuffer answer = AnswerBuffer();
    answer[4] = 2, answer[5] = 35;
    EXPECT_EQ(ApplyAnswer(Query::DpiLevel, answer, state), PopupKind::Dpi);
    EXPECT_EQ(state.levelIndex, 2);
    EXPECT_EQ(state.dpi, 3500);
    auto notice = NoticeAfter(Query::DpiLevel, state);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->windowClass, L"TPerform1");
    EXPECT_EQ(notice->caption, L"Perform1");
    EXPECT_EQ(notice->message, 0x640u);
    EXPECT_EQ(notice->wParam, 2u);
    EXPECT_EQ(notice->lParam, 3500);

    answer[4] = 1;
    EXPECT_EQ(ApplyAnswer(Query::PollingRate, answer, state), PopupKind::Polling);
    notice = NoticeAfter(Query::PollingRate, state);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->windowClass, L"TPerform1");
    EXPECT_EQ(notice->message, 0x639u);
    EXPECT_EQ(notice->wParam, 500u);
    EXPECT_EQ(notice->lParam, 0);

    answer[4] = 4;
    EXPECT_EQ(ApplyAnswer(Query::Profile, answer, state), PopupKind::Profile);
    notice = NoticeAfter(Query::Profile, state);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->windowClass, L"TTavrineMainForm1");
    EXPECT_EQ(notice->caption, L"Norvex TAVRINE");
    EXPECT_EQ(notice->message, 0x641u);
    EXPECT_EQ(notice->wParam, 4u);

    EXPECT_EQ(ApplyAnswer(Query::Lock, answer, state), PopupKind::Lock);
    EXPECT_EQ(state.lock, 4);
    EXPECT_FALSE(NoticeAfter(Query::Lock, state));
    // Earlier values stay: each query changes only its own.
    EXPECT_EQ(state.dpi, 3500);
    EXPECT_EQ(state.pollingHz, 500);
}

TEST(OsdEvent, PollingCodesAndASilentMouse) {
    EXPECT_EQ(PollingHzFromCode(0), 1000);
    EXPECT_EQ(PollingHzFromCode(1), 500);
    EXPECT_EQ(PollingHzFromCode(2), 125);
    EXPECT_EQ(PollingHzFromCode(3), 1000);
    EXPECT_EQ(PollingHzFromCode(0xFF), 1000);

    // Nothing answered: the buffer stays 04 00 ..., read as level 0 at 0 DPI, 1000 Hz, profile 0.
    DisplayState state{3, 800, 125, 2, 1};
    for (Query q : {Query::DpiLevel, Query::PollingRate, Query::Profile, Query::Lock})
        ApplyAnswer(q, AnswerBuffer(), state);
    EXPECT_EQ(state.levelIndex, 0);
    EXPECT_EQ(state.dpi, 0);
    EXPECT_EQ(state.pollingHz, 1000);
    EXPECT_EQ(state.profile, 0);
    EXPECT_EQ(state.lock, 0);
}

TEST(OsdEvent, MessagesFromTheConfigurationProgramAndSideButtonReleases) {
    EXPECT_EQ(RequestForMessage(0x539)->query, Query::PollingRate);
    EXPECT_EQ(RequestForMessage(0x540)->query, Query::DpiLevel);
    EXPECT_EQ(RequestForMessage(0x541)->query, Query::Profile);
    EXPECT_EQ(RequestForMessage(0x542)->query, Query::Lock);
    EXPECT_FALSE(RequestForMessage(0x543)->query);
    EXPECT_EQ(RequestForMessage(0x543)->kind, PopupKind::WebBack);
    EXPECT_EQ(RequestForMessage(0x544)->kind, PopupKind::WebForward);
    EXPECT_FALSE(RequestForMessage(0x538));
    EXPECT_FALSE(RequestForMessage(0x545));
    EXPECT_FALSE(RequestForMessage(0x640));  // its own notices are not requests

    EXPECT_EQ(KindForMouseButtons(0x0080), PopupKind::WebBack);
    EXPECT_EQ(KindForMouseButtons(0x0200), PopupKind::WebForward);
    EXPECT_EQ(KindForMouseButtons(0x0040), PopupKind::None);  // button 4 down
    EXPECT_EQ(KindForMouseButtons(0x0100), PopupKind::None);  // button 5 down
    EXPECT_EQ(KindForMouseButtons(0x0280), PopupKind::None);  // both at once: not a lone release
    EXPECT_EQ(KindForMouseButtons(0x0002), PopupKind::None);  // left button up
    EXPECT_EQ(KindForMouseButtons(0), PopupKind::None);
}

}  // namespace
}  // namespace vistrel

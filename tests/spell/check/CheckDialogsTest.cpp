// The check's questions to the user when no dialogs are linked in: each counts as closed and writes nothing.
#include "Attachments.h"
#include "CheckDialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace wortex::test {
namespace {

class WithoutDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        saved = CheckDialogHooks();
        CheckDialogHooks() = {};
    }
    void TearDown() override { CheckDialogHooks() = saved; }
    CheckDialogs saved;
};

TEST_F(WithoutDialogs, EveryQuestionCountsAsClosed) {
    struct Case {
        const char* name;
        std::function<int(char* out)> ask;
        int closed;
    };
    EditAttachment a{};
    const Case cases[] = {
        {"suggestions", [&](char* out) { return ShowSuggestions(0, &a, "Hauss", out, true, true, {}); }, kStop},
        {"correction review", [&](char*) { return ShowCorrectionMessage(0, 0, a, nullptr, {}); }, 0},
        {"description", [&](char* out) { return ShowDescription(0, 0, "Hauss", out, true); }, 2},
    };
    for (const Case& c : cases) {
        char out[64];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(c.ask(out), c.closed) << c.name;
        EXPECT_EQ(std::string(out, sizeof out), std::string(64, 'x')) << c.name;
    }
}

} // namespace
} // namespace wortex::test

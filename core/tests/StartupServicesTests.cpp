// The start-up's services: the placeholders until the program puts its own in place, and a scoped
// replacement that gives the previous one back.
#include "core/app/StartupServices.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records the calls the start-up makes and builds no window.
class CRecordingStartupServices final : public CDefaultStartupServices {
public:
    bool StartEditControl(HINSTANCE) override
    {
        calls.push_back("start");
        return false;
    }
    HWND CreateMainFrame(const RECT& rect) override
    {
        calls.push_back("frame " + std::to_string(rect.right - rect.left));
        return nullptr;
    }
    std::vector<std::string> calls;
};

TEST(StartupServices, PlaceholdersUntilReplacedAndTheScopeRestores)
{
    IStartupServices* const before = &GetStartupServices();
    ASSERT_NE(nullptr, dynamic_cast<CDefaultStartupServices*>(before));
    EXPECT_TRUE(before->StartEditControl(nullptr)) << "nothing to start is a success";
    EXPECT_EQ(nullptr, before->CreateMainFrame({0, 0, 600, 400}));
    {
        CRecordingStartupServices recording;
        CScopedStartupServices scope(recording);
        EXPECT_FALSE(GetStartupServices().StartEditControl(nullptr));
        EXPECT_EQ(nullptr, GetStartupServices().CreateMainFrame({0, 0, 600, 400}));
        GetStartupServices().CheckDefaultBrowser(); // the placeholder the recorder keeps
        EXPECT_EQ((std::vector<std::string>{"start", "frame 600"}), recording.calls);
    }
    EXPECT_EQ(before, &GetStartupServices());
    EXPECT_EQ(before, SetStartupServices(nullptr)) << "null puts the placeholders back";
    EXPECT_EQ(before, &GetStartupServices());
}

} // namespace

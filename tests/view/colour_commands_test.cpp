// The colour menu's commands on the view, with the dialog behind a recording host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/effect_dialog_host.h"
#include "playback/quovel_doc.h"
#include "resources/command_ids.h"
#include "state/app_state.h"
#include "support/media_rig.h"
#include "view/quovel_view.h"

namespace {

class RecordingHost final : public effects::IEffectDialogHost {
  public:
    void OpenEffectDialog(int nKind) override {
        m_bOpen = true;
        calls.push_back("open " + std::to_string(nKind));
    }
    void CloseEffectDialog() override {
        m_bOpen = false;
        calls.push_back("close");
    }
    bool EffectDialogOpen() const override { return m_bOpen; }
    void UserCloses() { m_bOpen = false; }
    std::vector<std::string> calls;

  private:
    bool m_bOpen = false;
};

class ColourCommandsTest : public ::testing::Test, protected testfakes::MediaRig {
  protected:
    void SetUp() override {
        view.AttachDocument(&doc);
        view.SetEffectDialogHost(&host);
        router.SetChain({&view});
    }
    void Choose(int nMode) { ASSERT_TRUE(router.Execute(cmd::kColorFirst + nMode)); }
    std::string Checks() {
        std::string s;
        for (int nMode = 0; nMode < 10; ++nMode) {
            fw::CCmdUI cmdUI(cmd::kColorFirst + nMode);
            router.Update(cmdUI);
            EXPECT_TRUE(cmdUI.m_bEnabled);
            s += cmdUI.m_nCheck ? 'x' : '.';
        }
        return s;
    }

    CQuovelView view;
    RecordingHost host;
    fw::CCommandRouter router;
};

TEST_F(ColourCommandsTest, OneCheckMarkOnTheModeInForce) {
    EXPECT_EQ(Checks(), "x.........");
    Choose(9);
    EXPECT_EQ(Checks(), ".........x");
    AppState.nColorMode = 12;  // only the settings file can do this
    EXPECT_EQ(Checks(), "..........");
}

TEST_F(ColourCommandsTest, DialogsOpenReplaceAndClose) {
    Choose(3);
    Choose(3);  // already open: nothing
    Choose(4);  // another kind: replaced
    Choose(8);
    Choose(0);  // a plain mode closes it
    Choose(1);  // nothing to close
    EXPECT_EQ(host.calls,
              (std::vector<std::string>{"open 0", "close", "open 1", "close", "open 5", "close"}));
    EXPECT_EQ(AppState.nColorMode, 1);
    EXPECT_FALSE(host.EffectDialogOpen());

    // Closed by the user, the mode stays; choosing it again opens a fresh dialog.
    host.calls.clear();
    Choose(5);
    host.UserCloses();
    EXPECT_EQ(Checks(), ".....x....");
    Choose(5);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"open 2", "open 2"}));

    // A mode restored from the settings file opens no dialog until it is chosen.
    host.calls.clear();
    host.UserCloses();
    AppState.nColorMode = 6;
    Choose(2);
    EXPECT_TRUE(host.calls.empty()) << "no dialog to close";
}

}  // namespace

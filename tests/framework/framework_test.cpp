#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/cmd_target.h"
#include "framework/document.h"
#include "resources/command_ids.h"
#include "resources/strings.h"

namespace {

std::vector<std::string> g_calls;

class Target : public fw::CCmdTarget {
  public:
    explicit Target(std::string strName) : m_strName(std::move(strName)) {}
    void Handle(cmd::Id nId) {
        OnCommand(nId, [this, nId] { g_calls.push_back(m_strName + ":" + std::to_string(nId)); });
    }
    void Update(cmd::Id nId, bool bEnable, int nCheck) {
        OnUpdateCommand(nId, [=](fw::CCmdUI& ui) {
            ui.Enable(bEnable);
            ui.SetCheck(nCheck);
        });
    }

  private:
    std::string m_strName;
};

TEST(CommandRouting, FirstTargetAlongTheChainWins) {
    Target view("view"), doc("doc"), frame("frame"), app("app");
    fw::CCommandRouter router;
    router.SetChain({&view, &doc, &frame, &app});
    doc.Handle(cmd::kFileOpen);
    app.Handle(cmd::kFileOpen);  // hidden by the document's
    app.Handle(cmd::kAppAbout);
    frame.Handle(cmd::kAppExit);
    view.Handle(cmd::kZoom1);
    doc.Handle(cmd::kZoom1);

    g_calls.clear();
    EXPECT_TRUE(router.Execute(cmd::kFileOpen));
    EXPECT_TRUE(router.Execute(cmd::kAppAbout));
    EXPECT_TRUE(router.Execute(cmd::kAppExit));
    EXPECT_TRUE(router.Execute(cmd::kZoom1));
    EXPECT_FALSE(router.Execute(cmd::kFileNew)) << "nobody handles it";
    auto call = [](const char* pszWho, cmd::Id nId) {
        return std::string(pszWho) + ":" + std::to_string(nId);
    };
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{call("doc", cmd::kFileOpen), call("app", cmd::kAppAbout),
                                        call("frame", cmd::kAppExit), call("view", cmd::kZoom1)}));
}

TEST(CommandRouting, UpdateHandlersDecideElseAHandlerEnables) {
    Target view("view"), doc("doc");
    fw::CCommandRouter router;
    router.SetChain({&view, nullptr, &doc});
    doc.Handle(1);            // handler, no update handler: enabled
    doc.Update(2, false, 0);  // update handler only: it decides
    view.Handle(3);           // a handler in one target...
    doc.Update(3, false, 1);  // ...the update handler in another still decides
    doc.Update(4, true, 1);
    view.Update(4, false, 0);  // the first update handler wins
    auto state = [&](cmd::Id nId) {
        fw::CCmdUI ui(nId);
        router.Update(ui);
        return std::pair{ui.m_bEnabled, ui.m_nCheck};
    };
    EXPECT_EQ(state(1), std::pair(true, 0));
    EXPECT_EQ(state(2), std::pair(false, 0));
    EXPECT_EQ(state(3), std::pair(false, 1));
    EXPECT_EQ(state(4), std::pair(false, 0));
    EXPECT_EQ(state(99), std::pair(false, 0)) << "nobody handles it";
}

class RecordingView : public fw::CView {
  public:
    void OnUpdate(fw::CView* pSender, long lHint) override {
        g_calls.push_back("update " + std::to_string(lHint) + (pSender ? " from view" : ""));
    }
};

TEST(DocumentViews, UpdateAllViewsDrawsBeforeReturningAndSkipsTheSender) {
    fw::CDocument* pDoc = new fw::CDocument;
    RecordingView a, b;
    a.AttachDocument(pDoc);
    b.AttachDocument(pDoc);
    std::string strTitle;
    pDoc->SetTitleListener([&](const std::string& s) { strTitle = s; });

    g_calls.clear();
    pDoc->UpdateAllViews(nullptr, 7);
    g_calls.push_back("returned");
    pDoc->UpdateAllViews(&a, 0);
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"update 7", "update 7", "returned", "update 0 from view"}));

    pDoc->SetTitle("clip");
    EXPECT_EQ(strTitle, "clip");
    EXPECT_TRUE(pDoc->OnNewDocument());
    EXPECT_EQ(pDoc->GetTitle(), str::kUntitled);

    delete pDoc;  // views outlive the document safely
    EXPECT_EQ(a.GetDocument(), nullptr);
}

}  // namespace

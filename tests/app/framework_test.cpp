#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/framework/cmd_target.h"
#include "app/framework/document.h"
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
    doc.Handle(57601);
    app.Handle(57601);  // hidden by the document's
    app.Handle(57664);
    frame.Handle(57665);
    view.Handle(32771);
    doc.Handle(32771);

    g_calls.clear();
    EXPECT_TRUE(router.Execute(57601));
    EXPECT_TRUE(router.Execute(57664));
    EXPECT_TRUE(router.Execute(57665));
    EXPECT_TRUE(router.Execute(32771));
    EXPECT_FALSE(router.Execute(12345));
    EXPECT_EQ(g_calls,
              (std::vector<std::string>{"doc:57601", "app:57664", "frame:57665", "view:32771"}));
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

#pragma once
// Document and view bases. UpdateAllViews redraws every view before it returns.
#include <functional>
#include <string>
#include <vector>

#include "framework/cmd_target.h"

namespace fw {

// The title of a document that has no file yet.
inline constexpr const char* kUntitledTitle = "無題";

class CView;

class CDocument : public CCmdTarget {
  public:
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    void SetTitle(const std::string& strTitle);
    // Called with the new title whenever it changes; the frame uses it for its caption.
    void SetTitleListener(std::function<void(const std::string&)> listener);

    void AddView(CView* pView);
    void RemoveView(CView* pView);
    void UpdateAllViews(CView* pSender, long lHint = 0);

    // The new-document command: back to the untitled name; the caller reruns initial updates.
    virtual bool OnNewDocument();
    virtual void OnCloseDocument();

  private:
    std::string m_strTitle;
    std::function<void(const std::string&)> m_titleListener;
    std::vector<CView*> m_views;
};

class CView : public CCmdTarget {
  public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    void AttachDocument(CDocument* pDocument);

    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0); }
    virtual void OnUpdate(CView* pSender, long lHint) = 0;

  private:
    CDocument* m_pDocument = nullptr;
};

}  // namespace fw

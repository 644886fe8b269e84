#include "framework/document.h"

#include <algorithm>

namespace fw {

CDocument::~CDocument() {
    for (CView* pView : m_views) {
        pView->AttachDocument(nullptr);
    }
}

void CDocument::SetTitle(const std::string& strTitle) {
    m_strTitle = strTitle;
    if (m_titleListener) {
        m_titleListener(m_strTitle);
    }
}

void CDocument::SetTitleListener(std::function<void(const std::string&)> listener) {
    m_titleListener = std::move(listener);
}

void CDocument::AddView(CView* pView) {
    if (std::find(m_views.begin(), m_views.end(), pView) == m_views.end()) {
        m_views.push_back(pView);
    }
}

void CDocument::RemoveView(CView* pView) {
    std::erase(m_views, pView);
}

void CDocument::UpdateAllViews(CView* pSender, long lHint) {
    for (CView* pView : m_views) {
        if (pView != pSender) {
            pView->OnUpdate(pSender, lHint);
        }
    }
}

bool CDocument::OnNewDocument() {
    SetTitle(kUntitledTitle);
    return true;
}

void CDocument::OnCloseDocument() {}

CView::~CView() {
    if (m_pDocument != nullptr) {
        m_pDocument->RemoveView(this);
    }
}

void CView::AttachDocument(CDocument* pDocument) {
    if (m_pDocument == pDocument) {
        return;
    }
    if (m_pDocument != nullptr) {
        CDocument* pOld = m_pDocument;
        m_pDocument = nullptr;
        pOld->RemoveView(this);
    }
    m_pDocument = pDocument;
    if (m_pDocument != nullptr) {
        m_pDocument->AddView(this);
    }
}

}  // namespace fw

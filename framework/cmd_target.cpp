#include "framework/cmd_target.h"

#include <algorithm>

namespace fw {

CCmdTarget::Entry& CCmdTarget::EntryFor(cmd::Id nId) {
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [nId](const Entry& e) { return e.nId == nId; });
    if (it != m_entries.end()) {
        return *it;
    }
    return m_entries.emplace_back(Entry{nId, {}, {}});
}

const CCmdTarget::Entry* CCmdTarget::Find(cmd::Id nId) const {
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [nId](const Entry& e) { return e.nId == nId; });
    return it == m_entries.end() ? nullptr : &*it;
}

void CCmdTarget::OnCommand(cmd::Id nId, Handler handler) {
    EntryFor(nId).handler = std::move(handler);
}

void CCmdTarget::OnUpdateCommand(cmd::Id nId, UpdateHandler update) {
    EntryFor(nId).update = std::move(update);
}

bool CCmdTarget::HasHandler(cmd::Id nId) const {
    const Entry* pEntry = Find(nId);
    return pEntry != nullptr && pEntry->handler;
}

bool CCmdTarget::OnCmdMsg(cmd::Id nId) {
    const Entry* pEntry = Find(nId);
    if (pEntry == nullptr || !pEntry->handler) {
        return false;
    }
    pEntry->handler();
    return true;
}

bool CCmdTarget::OnUpdateCmdUI(CCmdUI& cmdUI) const {
    const Entry* pEntry = Find(cmdUI.m_nID);
    if (pEntry == nullptr || !pEntry->update) {
        return false;
    }
    pEntry->update(cmdUI);
    return true;
}

bool CCommandRouter::Handles(cmd::Id nId) const {
    for (CCmdTarget* pTarget : m_chain) {
        if (pTarget != nullptr && pTarget->HasHandler(nId)) {
            return true;
        }
    }
    return false;
}

bool CCommandRouter::Execute(cmd::Id nId) const {
    for (CCmdTarget* pTarget : m_chain) {
        if (pTarget != nullptr && pTarget->OnCmdMsg(nId)) {
            return true;
        }
    }
    return false;
}

void CCommandRouter::Update(CCmdUI& cmdUI) const {
    for (CCmdTarget* pTarget : m_chain) {
        if (pTarget != nullptr && pTarget->OnUpdateCmdUI(cmdUI)) {
            return;
        }
    }
    const bool bHandled = std::any_of(m_chain.begin(), m_chain.end(), [&](const CCmdTarget* p) {
        return p != nullptr && p->HasHandler(cmdUI.m_nID);
    });
    cmdUI.Enable(bHandled);
}

}  // namespace fw

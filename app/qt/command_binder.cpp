#include "app/qt/command_binder.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QMenu>

CCommandBinder::CCommandBinder(const fw::CCommandRouter& router, QObject* pParent)
    : QObject(pParent), m_router(router) {
    if (auto* pDispatcher = QAbstractEventDispatcher::instance()) {
        connect(pDispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &CCommandBinder::UpdateAll);
    }
}

QAction* CCommandBinder::Action(cmd::Id nId, const QString& strText) {
    auto it = m_actions.find(nId);
    if (it != m_actions.end()) {
        return it->second;
    }
    auto* pAction = new QAction(strText, this);
    connect(pAction, &QAction::triggered, this, [this, nId] { m_router.Execute(nId); });
    m_actions.emplace(nId, pAction);
    return pAction;
}

void CCommandBinder::UpdateAll() {
    for (auto& [nId, pAction] : m_actions) {
        fw::CCmdUI cmdUI(nId);
        m_router.Update(cmdUI);
        pAction->setEnabled(cmdUI.m_bEnabled);
        if (cmdUI.m_nCheck != 0 || pAction->isCheckable()) {
            pAction->setCheckable(true);
            pAction->setChecked(cmdUI.m_nCheck != 0);
        }
    }
    for (auto& [nId, pButton] : m_buttons) {
        if (!pButton->isVisible()) {
            continue;  // hidden bars are not updated
        }
        fw::CCmdUI cmdUI(nId);
        m_router.Update(cmdUI);
        pButton->setEnabled(cmdUI.m_bEnabled);
        pButton->setChecked(cmdUI.m_nCheck != 0);
    }
}

void CCommandBinder::AddButton(cmd::Id nId, QAbstractButton* pButton) {
    pButton->setCheckable(true);
    // A click must not toggle the button by itself: its state comes from the commands.
    connect(pButton, &QAbstractButton::clicked, this, [this, nId, pButton](bool bChecked) {
        pButton->setChecked(!bChecked);
        m_router.Execute(nId);
    });
    m_buttons.emplace_back(nId, pButton);
}

bool CCommandBinder::ExecuteIfEnabled(cmd::Id nId) {
    fw::CCmdUI cmdUI(nId);
    m_router.Update(cmdUI);
    return cmdUI.m_bEnabled && m_router.Execute(nId);
}

void CCommandBinder::UpdateOnShow(QMenu* pMenu) {
    connect(pMenu, &QMenu::aboutToShow, this, &CCommandBinder::UpdateAll);
}

#pragma once
// One QAction per command id, shared by menu and toolbar. Triggering routes the command;
// enabling and check marks come from the update handlers, run when the event queue drains
// and when a menu opens.
#include <QObject>
#include <map>
#include <utility>
#include <vector>

#include "framework/cmd_target.h"

class QAction;
class QAbstractButton;
class QMenu;

class CCommandBinder : public QObject {
    Q_OBJECT
  public:
    CCommandBinder(const fw::CCommandRouter& router, QObject* pParent);

    // The action for nId, created on first use with the given text.
    QAction* Action(cmd::Id nId, const QString& strText);
    void UpdateAll();
    // Sends nId if its update handler (or handler) leaves it enabled, as a key press would.
    bool ExecuteIfEnabled(cmd::Id nId);
    void UpdateOnShow(QMenu* pMenu);
    // A toolbar button: it keeps its own state (the view sets it directly too), sends nId when
    // clicked, and takes the update handlers' state at idle time while it is visible.
    void AddButton(cmd::Id nId, QAbstractButton* pButton);

  private:
    const fw::CCommandRouter& m_router;
    std::map<cmd::Id, QAction*> m_actions;
    std::vector<std::pair<cmd::Id, QAbstractButton*>> m_buttons;
};

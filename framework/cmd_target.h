#pragma once
// Command routing in the document/view manner: each command target keeps a table of
// {id, handler, update handler}; the router offers a command to view, document, frame and
// application in turn, and the first target with a handler takes it.
#include <functional>
#include <vector>

#include "framework/command_id.h"

namespace fw {

// The enabled/checked state an update handler sets for one command.
class CCmdUI {
  public:
    explicit CCmdUI(cmd::Id nId) : m_nID(nId) {}
    void Enable(bool bOn = true) { m_bEnabled = bOn; }
    void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }

    cmd::Id m_nID;
    bool m_bEnabled = true;
    int m_nCheck = 0;
};

class CCmdTarget {
  public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CCmdUI&)>;

    virtual ~CCmdTarget() = default;
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler for nId if this target has one; false otherwise.
    bool OnCmdMsg(cmd::Id nId);
    bool HasHandler(cmd::Id nId) const;
    // Runs the update handler for nId if this target has one; false otherwise.
    bool OnUpdateCmdUI(CCmdUI& cmdUI) const;

  protected:
    void OnCommand(cmd::Id nId, Handler handler);
    void OnUpdateCommand(cmd::Id nId, UpdateHandler update);

  private:
    struct Entry {
        cmd::Id nId;
        Handler handler;
        UpdateHandler update;
    };
    Entry& EntryFor(cmd::Id nId);
    const Entry* Find(cmd::Id nId) const;
    std::vector<Entry> m_entries;
};

// The routing chain. Targets are offered commands in the order they were added
// (view, document, frame, application).
class CCommandRouter {
  public:
    void SetChain(std::vector<CCmdTarget*> chain) { m_chain = std::move(chain); }

    // Executes nId on the first target that handles it; false when nobody does.
    bool Execute(cmd::Id nId) const;
    // Some target along the chain handles nId.
    bool Handles(cmd::Id nId) const;
    // Fills cmdUI: the first update handler along the chain decides; without one, a command
    // is enabled when some target handles it and disabled otherwise.
    void Update(CCmdUI& cmdUI) const;

  private:
    std::vector<CCmdTarget*> m_chain;
};

}  // namespace fw

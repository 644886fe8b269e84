#pragma once
// The real main window with a clip playing, and the helpers the window tests share.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

#include "app/qt/main_frame.h"
#include "app/qt/qt_app_shell.h"
#include "app/qt/qt_ui_services.h"
#include "app/quovel_app.h"
#include "platform/media_clock.h"
#include "state/app_state.h"
#include "support/fakes.h"
#include "support/test_media.h"
#include "view/quovel_view.h"

namespace uitest {

// Fires the window's shortcut for the keys, as pressing them does.
inline void PressKeys(QWidget* pWindow, const char* pszKeys) {
    for (QShortcut* pShortcut : pWindow->findChildren<QShortcut*>()) {
        if (pShortcut->key() == QKeySequence(QString::fromUtf8(pszKeys))) {
            emit pShortcut->activated();
        }
    }
}

inline QAction* FindAction(QWidget* pWindow, const QString& strPrefix) {
    for (QAction* pAction : pWindow->findChildren<QAction*>()) {
        if (pAction->text().startsWith(strPrefix)) {
            return pAction;
        }
    }
    return nullptr;
}

// The application with the real Qt window set and its stand-ins scripted; the window is made
// by InitInstance.
struct QtAppRig {
    CQtUiServices ui;
    testfakes::FakeRecentFiles recent;
    platform::ManualMediaClock clock;
    CQtAppShell shell{ui};
    testfakes::ScriptedChooser chooser;
    CQuovelApp app{shell, ui, recent, clock, chooser};
};

// The window with a clip playing, for the layout tests.
class MainWindowTest : public ::testing::Test, protected QtAppRig {
  protected:
    void SetUp() override {
        ResetAppState();
        ASSERT_TRUE(app.InitInstance({testmedia::IndexedClip(Clip())}));
        pFrame = shell.Frame();
        app.View().OnTimer(1);
    }
    void TearDown() override {
        shell.DestroyMainFrame();
        app.ExitInstance();
        ResetAppState();
    }
    virtual testmedia::ClipSpec Clip() const { return {}; }

    CMainFrame* pFrame = nullptr;
};

}  // namespace uitest

// CCDApp: cddeck's application object. It owns the player window.
#pragma once

#include "SkinApp.h"

#include "CDPlayerDlg.h"

class CCDApp : public CSkinApp {
public:
    CCDApp();

    BOOL InitInstance() override;
    CWnd* GetPlayerWindow() override;
    void RequestQuit() override;

    CCDPlayerDlg m_dlgPlayer;
};

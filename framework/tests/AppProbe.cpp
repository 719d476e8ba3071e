// A program made of nothing but its application object: the exit code says whether
// the framework ran it as the programs expect (0) or which step went wrong.
#include <cstring>

#include "fw/Framework.h"

namespace {

const UINT UM_PROBE_DONE = WM_USER + 10;

enum ProbeResult { kOk = 0, kBadCommandLine = 10, kNoFrame = 11, kNoMessage = 12, kWrongOrder = 13 };

class CProbeFrame : public CFrameWnd {
public:
    bool m_bMessageSeen = false;

protected:
    LRESULT OnDone(WPARAM, LPARAM) {
        m_bMessageSeen = true;
        DestroyWindow();
        return 0;
    }
    void OnDestroy() {
        CFrameWnd::OnDestroy();
        ::PostQuitMessage(kOk);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeFrame, CFrameWnd)
    ON_MESSAGE(UM_PROBE_DONE, OnDone)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

class CProbeApp : public CWinApp {
public:
    CProbeApp() : CWinApp("Orvanta-Probe") {}

    BOOL InitInstance() override {
        m_nSteps = 1;
        if (std::strcmp(m_lpCmdLine, "C:\\music\\a.mp3") != 0) return Fail(kBadCommandLine);
        if (!m_frame.Create(nullptr, "Orvanta-Probe")) return Fail(kNoFrame);
        m_pMainWnd = &m_frame;
        m_frame.PostMessage(UM_PROBE_DONE);
        return TRUE;
    }
    int ExitInstance() override {
        if (m_nResult != kOk) return m_nResult;
        if (m_nSteps != 1) return kWrongOrder;
        if (!m_frame.m_bMessageSeen) return kNoMessage;
        return CWinApp::ExitInstance();  // the quit code
    }

private:
    BOOL Fail(ProbeResult result) {
        m_nResult = result;
        return FALSE;
    }
    CProbeFrame m_frame;
    int m_nSteps = 0;
    int m_nResult = kOk;
};

CProbeApp theApp;

}  // namespace

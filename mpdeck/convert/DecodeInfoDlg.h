// CDecodeInfoDlg: the MPEG properties of one decoder job, and its target to edit. The
// properties come from the decoder page's MP3 control.
#pragma once

#include "JobInfoDlg.h"

class CMp3Play;

class CDecodeInfoDlg : public CJobInfoDlg {
public:
    CDecodeInfoDlg();

protected:
    BOOL OnInitDialog() override;
    void ApplyOptions(const CString& strTarget) override;

private:
    void FillMpegDetails(CMp3Play& play, const CString& strSource);
};

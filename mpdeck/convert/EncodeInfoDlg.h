// CEncodeInfoDlg: the WAVE format of one encoder job, and its target, bit rate and
// sample rate to edit.
#pragma once

#include "JobInfoDlg.h"
#include "WaveDevice.h"

class CEncodeInfoDlg : public CJobInfoDlg {
public:
    CEncodeInfoDlg();

protected:
    BOOL OnInitDialog() override;
    void ApplyOptions(const CString& strTarget) override;

private:
    void FillBitRates();
    void FillSampleRates(DWORD dwSourceRate);
    void FillDetails(const CString& strSource);

    CWaveDevice m_wave;
};

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
    // The bit rates the chosen sample rate carries, keeping the chosen one or else the
    // highest below it.
    void FillBitRates(const CString& strWanted);
    void FillSampleRates(DWORD dwSourceRate);
    void OnSampleRateChange();
    void FillDetails(const CString& strSource);

    CWaveDevice m_wave;

    DECLARE_MESSAGE_MAP()
};

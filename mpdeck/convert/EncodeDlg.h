// CEncodeDlg: the encoder page of the property sheet (template 816). WAVE files become
// MP3 files through the encoder control, each job with its bit rate and sample rate.
#pragma once

#include "BatchPage.h"
#include "Mp3Enc.h"
#include "Mp3Play.h"
#include "mpdeck/BatchPageIds.h"

class CEncodeDlg : public CBatchPage {
public:
    enum { IDD = IDD_ENCODE_PAGE };
    CEncodeDlg();

    CMp3Enc m_encoder;
    CMp3Play m_mp3Play;  // in the template; this page does not drive it

protected:
    BOOL OnInitDialog() override;
    void InsertColumns(int nListWidth) override;
    void FillOptions(int nRow, const CString& strSource) override;
    BOOL StartJob(int nRow, const CString& strSource) override;
    long ProgressTotal() override;
    void StopConversion() override;
    void ShowMoreInfo(int nRow) override;
    long AuditionSeconds(const CString& strSource) override;
    int AuditionType() const override;

    void OnEncoderProgress(long nPosition);
    void OnEncoderDone();
    void OnEncoderError(long nCode, LPCSTR lpszText);
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
};

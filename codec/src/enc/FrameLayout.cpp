#include "FrameLayout.h"

#include "Filterbank.h"
#include "orvcodec/MpegTables.h"

#include <algorithm>

namespace orv::codec::enc {
namespace {

constexpr int kModeStereo = 0, kModeJoint = 1, kModeMono = 3;
constexpr int kModeExtensionMidSide = 2;

} // namespace

void WriteHeader(BitWriter& out, const FrameHeader& h)
{
    out.Put(0x7ff, 11);
    out.Put(h.lsf ? 2 : 3, 2);       // version
    out.Put(1, 2);                   // layer III
    out.Put(h.crc ? 0 : 1, 1);       // protection bit: 0 means a CRC follows
    out.Put(h.bitRateIndex, 4);
    out.Put(h.sampleRateIndex, 2);
    out.Put(h.padding, 1);
    out.Put(0, 1);                   // private
    out.Put(h.channels == 1 ? kModeMono : h.jointStereo ? kModeJoint : kModeStereo, 2);
    out.Put(h.midSide ? kModeExtensionMidSide : 0, 2);
    out.Put(0, 1);                   // copyright
    out.Put(1, 1);                   // original
    out.Put(0, 2);                   // emphasis
}

int SideInfoBytes(bool lsf, int channels)
{
    if (lsf)
        return channels == 1 ? 9 : 17;
    return channels == 1 ? 17 : 32;
}

void WriteSideInfo(BitWriter& out, const FrameHeader& h, int mainDataBegin,
                   const GranuleCoding granules[2][2], const bool scfsi[2][4])
{
    const int granuleCount = h.lsf ? 1 : 2;
    if (h.lsf) {
        out.Put(mainDataBegin, 8);
        out.Put(0, h.channels == 1 ? 1 : 2);
    } else {
        out.Put(mainDataBegin, 9);
        out.Put(0, h.channels == 1 ? 5 : 3);
        for (int ch = 0; ch < h.channels; ++ch)
            for (int group = 0; group < 4; ++group)
                out.Put(scfsi[ch][group], 1);
    }
    for (int gr = 0; gr < granuleCount; ++gr) {
        for (int ch = 0; ch < h.channels; ++ch) {
            const GranuleCoding& g = granules[gr][ch];
            out.Put(g.part23Length, 12);
            out.Put(g.bigValues, 9);
            out.Put(g.globalGain, 8);
            out.Put(g.scalefacCompress, h.lsf ? 9 : 4);
            out.Put(g.WindowSwitching(), 1);
            if (g.WindowSwitching()) {
                out.Put(g.blockType, 2);
                out.Put(0, 1);       // no mixed blocks
                out.Put(g.tableSelect[0], 5);
                out.Put(g.tableSelect[1], 5);
                for (int w = 0; w < 3; ++w)
                    out.Put(g.subblockGain[w], 3);
            } else {
                for (int r = 0; r < 3; ++r)
                    out.Put(g.tableSelect[r], 5);
                out.Put(g.region0Count, 4);
                out.Put(g.region1Count, 3);
            }
            if (!h.lsf)
                out.Put(g.preflag, 1);
            out.Put(g.scalefacScale, 1);
            out.Put(g.count1Table, 1);
        }
    }
}

void WriteScaleFactors(BitWriter& out, bool lsf, const GranuleCoding& g, int granule, const bool* scfsi)
{
    const bool shortBlock = g.blockType == kBlockShort;
    if (lsf) {
        const int c = g.scalefacCompress;
        const int slen[4] = {(c >> 4) / 5, (c >> 4) % 5, (c & 15) >> 2, c & 3};
        const uint8_t* counts = kLsfPartitionBands[0][shortBlock ? 1 : 0];
        int entry = 0;
        for (int p = 0; p < 4; ++p) {
            for (int i = 0; i < counts[p]; ++i, ++entry) {
                const int value = shortBlock ? g.scalefacShort[entry / 3][entry % 3] : g.scalefacLong[entry];
                if (slen[p])
                    out.Put(value, slen[p]);
            }
        }
        return;
    }
    const int slen1 = kScaleFactorLengths[0][g.scalefacCompress];
    const int slen2 = kScaleFactorLengths[1][g.scalefacCompress];
    if (shortBlock) {
        for (int b = 0; b < kShortBands - 1; ++b)
            for (int w = 0; w < 3; ++w)
                if (b < 6 ? slen1 : slen2)
                    out.Put(g.scalefacShort[b][w], b < 6 ? slen1 : slen2);
        return;
    }
    static const int kGroupStart[5] = {0, 6, 11, 16, 21};
    for (int group = 0; group < 4; ++group) {
        if (granule == 1 && scfsi && scfsi[group])
            continue;
        const int slen = group < 2 ? slen1 : slen2;
        for (int b = kGroupStart[group]; b < kGroupStart[group + 1]; ++b)
            if (slen)
                out.Put(g.scalefacLong[b], slen);
    }
}

void Reservoir::Reset(int maxBackBytes, int limitBytes)
{
    m_pending.clear();
    m_slotEnd = 0;
    m_dataEnd = 0;
    m_maxBackBytes = maxBackBytes;
    m_limitBytes = limitBytes;
}

int Reservoir::Available() const
{
    const std::int64_t unused = m_slotEnd - m_dataEnd;
    return static_cast<int>(std::min<std::int64_t>(unused, std::min(m_maxBackBytes, m_limitBytes)));
}

void Reservoir::PutMainByte(std::int64_t position, std::uint8_t value)
{
    for (auto it = m_pending.rbegin(); it != m_pending.rend(); ++it) {
        if (position >= it->slotStart && position < it->slotStart + it->slotBytes) {
            it->bytes[it->slotOffset + (position - it->slotStart)] = value;
            return;
        }
    }
}

void Reservoir::AddFrame(const std::vector<std::uint8_t>& headerAndSide, int slotBytes, int mainDataBegin,
                         const std::vector<std::uint8_t>& mainData, int mainBits)
{
    Pending frame;
    frame.bytes = headerAndSide;
    frame.slotOffset = static_cast<int>(headerAndSide.size());
    frame.bytes.resize(headerAndSide.size() + slotBytes, 0);
    frame.slotStart = m_slotEnd;
    frame.slotBytes = slotBytes;
    m_pending.push_back(std::move(frame));
    const std::int64_t start = m_slotEnd - mainDataBegin;
    const int byteCount = (mainBits + 7) / 8;
    for (int i = 0; i < byteCount; ++i)
        PutMainByte(start + i, mainData[i]);
    m_slotEnd += slotBytes;
    m_dataEnd = start + byteCount;
}

void Reservoir::Release(std::vector<std::uint8_t>& out, bool all)
{
    // No later frame starts its main data before this point.
    const std::int64_t reach = std::max(m_dataEnd, m_slotEnd - std::min(m_maxBackBytes, m_limitBytes));
    while (!m_pending.empty()) {
        const Pending& frame = m_pending.front();
        if (!all && frame.slotStart + frame.slotBytes > reach)
            break;
        out.insert(out.end(), frame.bytes.begin(), frame.bytes.end());
        m_pending.pop_front();
    }
}

} // namespace orv::codec::enc

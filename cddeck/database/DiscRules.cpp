#include "DiscRules.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace cddisc {

namespace {

constexpr int kSelectionEntryWidth = 3;  // two digits and a blank
constexpr int kFramesPerMinute = 60 * kFramesPerSecond;

int WholeSeconds(const MsfTime& time) {
    return time.minutes * 60 + time.seconds;
}

// The leading digits of at most two characters at pos; 0 when there are none.
int EntryValue(const std::string& text, size_t pos) {
    int nValue = 0;
    for (size_t i = pos; i < text.size() && i < pos + 2; ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        nValue = nValue * 10 + (text[i] - '0');
    }
    return nValue;
}

}  // namespace

int DigitSum(int nValue) {
    int nSum = 0;
    for (; nValue > 0; nValue /= 10) nSum += nValue % 10;
    return nSum;
}

uint32_t CddbDiscId(const std::vector<MsfTime>& starts, const MsfTime& lastLength) {
    if (starts.empty()) return 0;
    const MsfTime& last = starts.back();
    const int nLeadOut = ((last.minutes + lastLength.minutes) * 60 + lastLength.seconds + last.seconds) * kFramesPerSecond +
                         lastLength.frames + last.frames + 1;
    const int nLeadOutSeconds = nLeadOut / kFramesPerMinute * 60 + nLeadOut / kFramesPerSecond % 60;

    int nChecksum = 0;
    for (const MsfTime& start : starts) nChecksum += DigitSum(WholeSeconds(start));
    const uint32_t nSpan = static_cast<uint32_t>(nLeadOutSeconds - WholeSeconds(starts.front()));
    return static_cast<uint32_t>(nChecksum % 255) << 24 | nSpan << 8 | static_cast<uint32_t>(starts.size());
}

std::string FormatDiscId(uint32_t nId) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "%.8x", static_cast<unsigned>(nId));
    return text;
}

std::string FormatSelection(const std::vector<uint8_t>& selection) {
    std::string text;
    for (uint8_t nTrack : selection) {
        char entry[8] = {};
        std::snprintf(entry, sizeof entry, "%.2d ", nTrack);
        text += entry;
    }
    return text;
}

std::vector<uint8_t> ParseSelection(const std::string& text, int nCount, int nTracks) {
    std::vector<uint8_t> selection;
    std::vector<bool> seen(static_cast<size_t>(std::max(nTracks, 0)) + 1, false);
    for (size_t pos = 0; static_cast<int>(selection.size()) < nCount && pos < text.size(); pos += kSelectionEntryWidth) {
        const int nTrack = EntryValue(text, pos);
        if (nTrack < 1 || nTrack > nTracks || seen[static_cast<size_t>(nTrack)]) continue;
        seen[static_cast<size_t>(nTrack)] = true;
        selection.push_back(static_cast<uint8_t>(nTrack));
    }
    return selection;
}

std::vector<std::string> SplitComment(const std::string& comment) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t lf = comment.find('\n'); lf != std::string::npos; lf = comment.find('\n', start)) {
        lines.push_back(StoredCommentLine(comment.substr(start, lf - start)));
        start = lf + 1;
    }
    if (start < comment.size()) lines.push_back(StoredCommentLine(comment.substr(start)));
    return lines;
}

std::string StoredCommentLine(const std::string& value) {
    if (!value.empty() && value.back() == '\r') return value.substr(0, value.size() - 1);
    return value;
}

std::vector<uint8_t> ShuffledSelection(const std::vector<uint8_t>& selection) {
    // Each draw picks among the entries not placed yet, so every draw places one and a
    // repeated entry cannot leave the draws without a candidate.
    std::vector<uint8_t> pool = selection;
    std::vector<uint8_t> shuffled;
    shuffled.reserve(pool.size());
    while (!pool.empty()) {
        const size_t nPick = static_cast<size_t>(std::rand()) % pool.size();
        shuffled.push_back(pool[nPick]);
        pool.erase(pool.begin() + static_cast<long>(nPick));
    }
    return shuffled;
}

}  // namespace cddisc

#include "Quantize.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>
#include <unordered_set>

namespace skingen {
namespace {

struct Weighted {
    std::array<int, 3> rgb;
    uint64_t count;
};

std::array<int, 3> Channels(uint32_t c) { return {int(c >> 16 & 0xFF), int(c >> 8 & 0xFF), int(c & 0xFF)}; }
uint32_t Pack(const std::array<int, 3>& c) { return Rgb(c[0], c[1], c[2]); }

int Distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    const int dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

// A box of the median cut: a range of the colour vector.
struct Box {
    size_t begin, end;
};

int WidestChannel(const std::vector<Weighted>& colors, const Box& box, int* spread) {
    std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], colors[i].rgb[c]);
            hi[c] = std::max(hi[c], colors[i].rgb[c]);
        }
    }
    int best = 0;
    for (int c = 1; c < 3; ++c) {
        if (hi[c] - lo[c] > hi[best] - lo[best]) best = c;
    }
    *spread = hi[best] - lo[best];
    return best;
}

// Splits the box with the widest spread at its weighted median until there are
// `target` boxes or nothing can be split.
std::vector<Box> MedianCut(std::vector<Weighted>& colors, size_t target) {
    std::vector<Box> boxes{{0, colors.size()}};
    while (boxes.size() < target) {
        int bestSpread = 0;
        size_t bestBox = boxes.size();
        int bestChannel = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2) continue;
            int spread = 0;
            const int channel = WidestChannel(colors, boxes[b], &spread);
            if (spread > bestSpread) {
                bestSpread = spread;
                bestBox = b;
                bestChannel = channel;
            }
        }
        if (bestBox == boxes.size()) break;
        Box box = boxes[bestBox];
        std::sort(colors.begin() + box.begin, colors.begin() + box.end,
                  [bestChannel](const Weighted& a, const Weighted& b) { return a.rgb[bestChannel] < b.rgb[bestChannel]; });
        uint64_t total = 0;
        for (size_t i = box.begin; i < box.end; ++i) total += colors[i].count;
        uint64_t running = 0;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; ++i) {
            running += colors[i].count;
            split = i + 1;
            if (running * 2 >= total) break;
        }
        boxes[bestBox] = {box.begin, split};
        boxes.push_back({split, box.end});
    }
    return boxes;
}

std::array<int, 3> Mean(const std::vector<Weighted>& colors, const Box& box) {
    std::array<uint64_t, 3> sum{0, 0, 0};
    uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) sum[c] += uint64_t(colors[i].rgb[c]) * colors[i].count;
        total += colors[i].count;
    }
    std::array<int, 3> mean{};
    for (int c = 0; c < 3; ++c) mean[c] = int((sum[c] + total / 2) / total);
    return mean;
}

size_t Nearest(const std::vector<std::array<int, 3>>& table, const std::array<int, 3>& c) {
    size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < table.size(); ++i) {
        const int d = Distance(table[i], c);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

// Moves each free table colour to the mean of the colours nearest to it; reserved
// entries (the first `fixed` ones) stay where they are.
void Refine(std::vector<std::array<int, 3>>& table, size_t fixed, const std::vector<Weighted>& colors) {
    constexpr int kPasses = 4;
    for (int pass = 0; pass < kPasses; ++pass) {
        std::vector<std::array<uint64_t, 4>> sums(table.size(), {0, 0, 0, 0});
        for (const Weighted& w : colors) {
            auto& s = sums[Nearest(table, w.rgb)];
            for (int c = 0; c < 3; ++c) s[c] += uint64_t(w.rgb[c]) * w.count;
            s[3] += w.count;
        }
        for (size_t i = fixed; i < table.size(); ++i) {
            if (sums[i][3] == 0) continue;
            for (int c = 0; c < 3; ++c) table[i][c] = int((sums[i][c] + sums[i][3] / 2) / sums[i][3]);
        }
    }
}

}  // namespace

std::vector<uint32_t> BuildPalette(const std::vector<const RgbImage*>& images,
                                   const std::vector<uint32_t>& reserved) {
    std::unordered_map<uint32_t, uint64_t> histogram;
    for (const RgbImage* image : images) {
        for (uint32_t p : image->pixels) ++histogram[p];
    }
    std::unordered_set<uint32_t> reservedSet(reserved.begin(), reserved.end());
    std::vector<uint32_t> palette(reservedSet.begin(), reservedSet.end());
    std::sort(palette.begin(), palette.end());

    std::vector<Weighted> free;
    for (const auto& [color, count] : histogram) {
        if (!reservedSet.count(color)) free.push_back({Channels(color), count});
    }
    const size_t room = kPaletteSize - palette.size();
    if (free.size() <= room) {
        for (const Weighted& w : free) palette.push_back(Pack(w.rgb));
        std::sort(palette.begin() + reservedSet.size(), palette.end());
        return palette;
    }

    std::vector<std::array<int, 3>> table;
    for (uint32_t c : palette) table.push_back(Channels(c));
    const size_t fixed = table.size();
    for (const Box& box : MedianCut(free, room)) table.push_back(Mean(free, box));
    Refine(table, fixed, free);

    palette.clear();
    for (const auto& c : table) palette.push_back(Pack(c));
    return palette;
}

IndexedImage MapToPalette(const RgbImage& image, const std::vector<uint32_t>& palette) {
    std::vector<std::array<int, 3>> table;
    for (uint32_t c : palette) table.push_back(Channels(c));
    std::unordered_map<uint32_t, uint8_t> cache;
    IndexedImage out{image.width, image.height, std::vector<uint8_t>(image.pixels.size())};
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        auto it = cache.find(p);
        if (it == cache.end()) it = cache.emplace(p, uint8_t(Nearest(table, Channels(p)))).first;
        out.indices[i] = it->second;
    }
    return out;
}

RgbImage Expand(const IndexedImage& image, const std::vector<uint32_t>& palette) {
    RgbImage out(image.width, image.height);
    for (size_t i = 0; i < image.indices.size(); ++i) out.pixels[i] = palette[image.indices[i]];
    return out;
}

}  // namespace skingen

// The bundled demo disc: what each track holds. Shared by the composer and the tests
// that listen to the disc.
#pragma once

namespace orvdemo {

struct DemoTrack {
    const char* title;
    int frames;          // audio frames (1/75 s) of the track itself
    int storedGap;       // frames of silence before INDEX 01 kept in the image (INDEX 00)
    int virtualGap;      // frames of PREGAP, silence not kept in the image
    double droneHz;      // the track's dominant pitch
    double laterDroneHz; // its pitch from one minute into the track on, 0 if none
};

constexpr DemoTrack kDemoTracks[] = {
    {"First Light", 1605, 0, 0, 261.63, 0},         // 21.4 s
    {"Long Road", 6278, 0, 0, 329.63, 494.44},      // 83.7 s, a fifth higher after 1:00
    {"Short Step", 548, 0, 0, 392.00, 0},           // 7.3 s
    {"After The Gap", 1095, 150, 0, 440.00, 0},     // 14.6 s behind a 2 s gap
    {"Evening", 2340, 0, 0, 587.33, 0},             // 31.2 s
    {"Last Call", 735, 0, 125, 698.46, 0},          // 9.8 s behind a PREGAP of 1:50
};
constexpr int kDemoTrackCount = sizeof kDemoTracks / sizeof kDemoTracks[0];
constexpr int kDemoChangeSeconds = 60;

constexpr const char* kDemoDiscName = "Orvanta Demo Disc";

}  // namespace orvdemo

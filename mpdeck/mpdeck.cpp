// The mpdeck program: its application object is all the framework needs.
#include "player/MP3App.h"

CMP3App theApp;

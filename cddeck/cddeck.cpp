// The cddeck program: its application object is all the framework needs.
#include "player/CDApp.h"

CCDApp theApp;

// Everything the framework offers, in one include.
#pragma once

#include "fw/App.h"
#include "fw/Controls.h"
#include "fw/Dialog.h"
#include "fw/File.h"
#include "fw/FileDialog.h"
#include "fw/Frame.h"
#include "fw/Gdi.h"
#include "fw/ListCtrl.h"
#include "fw/Menu.h"
#include "fw/MsgMap.h"
#include "fw/PropSheet.h"
#include "fw/String.h"
#include "fw/Time.h"
#include "fw/Types.h"
#include "fw/Wnd.h"

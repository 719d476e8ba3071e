// The genre table lives with the tag writer, below both programs.
#pragma once

#include "orvcodec/Genres.h"

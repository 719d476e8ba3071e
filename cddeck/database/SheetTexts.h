// A disc new to the CD database starts from the texts of its image's sheet: album,
// artist, year, genre and track titles. Only a disc in our CD-audio stand-in has one.
#pragma once

#include "fw/Framework.h"

class CCDDisc;

// Fills the model's album data and titles from the sheet of the image in the drive;
// FALSE (the model as it was) when there is no image, its sheet does not fit the
// disc's tracks, or it holds no texts. Text in UTF-8 or in the code page is read.
BOOL TakeSheetTexts(CCDDisc& disc);

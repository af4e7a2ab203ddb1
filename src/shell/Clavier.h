#pragma once

#include <QtGlobal>

// The character typed by Ctrl+letter (control code 1 to 26: Ctrl+A is 1, Ctrl+Enter is 10 like
// Ctrl+J), with or without Shift: mostly the Greek letters of the Tablarix fonts. 0 for a code
// outside 1 to 26.
uchar CaractereCtrl(int codeControle, bool majuscule);

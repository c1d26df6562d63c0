// The order of two version texts as the program compares them. Needs no Windows.
#pragma once

// Orders two version texts byte by byte as unsigned values over at most ten
// bytes (nine characters and the terminator): <0, 0 or >0. So "10.00.0000"
// comes before "3.00.0000".
int CompareVersionBytes(const char* a, const char* b);

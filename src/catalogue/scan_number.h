#pragma once
#include <string>

// Reads a number from a catalogue field the way "%i" does: leading blanks,
// a sign, "0x" for hexadecimal, a leading "0" for octal. A number beyond 32
// bits keeps its low 32 bits, so a size up to 4 GB survives as unsigned.
// False, and value 0, when the text holds no number.
bool ScanNumber(const std::string& text, int& value);

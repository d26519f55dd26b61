#pragma once
#include <string>
#include <vector>

// log.txt of the current folder as lines without their line ends; the log
// is closed first so that everything written is there.
std::vector<std::string> LogLines();

// Only the lines that begin with one of the prefixes, in their order.
std::vector<std::string> LogLinesStartingWith(const std::vector<std::string>& prefixes);

#pragma once
#include <string>
#include <vector>

// Line helpers for the file records of an item section.

// Cuts a ";" comment and the blanks before it; the first byte always stays,
// and a CR is not a blank.
std::string CutComment(std::string line);

// The line without the CR that a CR LF text leaves at its end.
std::string WithoutCr(std::string line);

// The URLs of a record's URL line, separated by single spaces; always at
// least one. Two spaces in a row give an empty URL, whose attempt fails.
std::vector<std::string> SplitUrls(const std::string& line);

enum class RecordLine { NextRecord, Skipped, End };

// What the line after a file record means: "-" opens the next record; a line
// of one byte once blanks are gone (the CR of an empty CR LF line) or a
// comment is skipped; anything else, an empty line too, ends the records.
RecordLine ClassifyLine(const std::string& line);

#pragma once

// One line of a text file held in memory. Copies the bytes up to a carriage return, a
// line feed or the end into line (at most size - 1 and at most 2047 of them; the rest of a
// longer line is skipped), terminates it, then skips one carriage return and one following
// line feed, so CR, LF and CR LF all end a line. Answers where the next line starts.
// Throws EOFException when at is already at end. [main thread]
const unsigned char* readLine(const unsigned char* at, const unsigned char* end, char* line,
                              int size);

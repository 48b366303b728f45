// The standard handles: writing the processed text and messages, reading the input
// text from standard input, and telling a terminal from redirected input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Writes every byte to standard error; true when all were written.
bool WriteStandardError(std::string_view bytes);

// Writes as many bytes as standard output accepts and returns how many that were;
// the caller compares the count with the length to detect a failed write.
size_t WriteStandardOutput(std::string_view bytes);

// True when standard input is a terminal, i.e. nobody redirected data into it.
bool IsInteractiveStandardInput();

enum class TStdinReadResult { Ok, Failed };

// Reads standard input up to its end (a redirected file into one buffer of its
// size). On Ok `data` holds every byte read (possibly none); on Failed it is left
// as it was.
TStdinReadResult ReadStandardInput(std::string &data);

// A closed standard output must show up as a failed write, not end the process.
void IgnoreBrokenPipe();

// The loops behind the functions above, on any descriptor.
size_t WriteToDescriptor(int fd, std::string_view bytes);
TStdinReadResult ReadAllFromDescriptor(int fd, std::string &data);

// The end of a console line: LF here, CR LF on Windows.
extern const char *const ConsoleLineEnd;

// Text for the console. This platform's console reads the same code page as every
// other stream, so the text is returned unchanged.
std::u16string ToOemText(std::u16string_view s);

} // namespace platform

// The three steps run for every input: read it into CurrentText, run the script
// once in a fresh host, write CurrentText to its destination. Each returns
// 0 (go on), 1 (input or output failure) or 2 (script failure), already reported.
#pragma once

#include <optional>
#include <string>

#include "core/text.h"

constexpr int StepOk = 0;
constexpr int StepIoFailed = 1;
constexpr int StepScriptFailed = 2;

// fileName: a full path, or none for standard input.
int ReadInput(const std::optional<TText> &fileName);

// Runs ScriptFile if set, else ScriptCommands.
int RunScript();

// Runs script text in a new host; returns the engine status (0 = success).
int RunScriptText(const TText &text);

// Writes CurrentText to standard output, the output file or back into the input.
int WriteOutput(const TText &outputName, const std::optional<TText> &inputName, bool inPlace);

// The script file's bytes as script text: a byte-order mark selects UTF-8 or
// UTF-16, lines are re-joined with CR LF, a NUL character ends the text.
TText ScriptFileText(const std::string &bytes);

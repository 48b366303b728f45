// The three steps run for every input: read it into the job's CurrentText, run
// the script once in a fresh host over the job, write CurrentText to its
// destination. Each returns 0 (go on), 1 (input or output failure) or 2 (script
// failure), already reported.
#pragma once

#include <optional>
#include <string>

#include "app/backup_names.h"
#include "core/text/text.h"
#include "script/filter_job.h"

constexpr int StepOk = 0;
constexpr int StepIoFailed = 1;
constexpr int StepScriptFailed = 2;

// Reads the job's input file, or standard input when it has none.
int ReadInput(TFilterJob &job);

// Runs the settings' ScriptFile if set, else their ScriptCommands.
int RunScript(TFilterJob &job);

// Runs script text in a new host over the job; returns the engine status (0 = success).
int RunScriptText(TFilterJob &job, const TText &text);

// Writes the job's text to standard output, the output file or back into the input;
// with /b an existing target is first copied to a backup name that `backups`
// chooses and records.
int WriteOutput(const TFilterJob &job, TBackupNames &backups);

// The file WriteOutput writes the job's text to, when it does not go to standard
// output: the input itself in place, else the output file (beside the input when
// it names no directory, and always in a recursive run).
TText OutputTarget(const TFilterJob &job);

// The script file's bytes as script text: a byte-order mark selects UTF-8 or
// UTF-16, lines are re-joined with CR LF, a NUL character ends the text.
TText ScriptFileText(const std::string &bytes);

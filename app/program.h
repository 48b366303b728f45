// The front end: banner, command line, run plan and exit code.
#pragma once

int RunProgram(int argc, char **argv);

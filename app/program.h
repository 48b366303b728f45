// The front end: banner, command line, the run plan (app/run_plan.h) and exit code.
#pragma once

int RunProgram(int argc, char **argv);

// The bytes of the input being processed. The driver reads it and writes it out;
// the script rewrites it through the PWL table in between.
#pragma once

#include <string>

extern std::string CurrentText;

#include "app/current_text.h"
#include "app/run_settings.h"

std::string CurrentText;
TRunSettings RunSettings;

// Program entry: hands the arguments to the front end and returns its exit code.
#include "app/program.h"

int main(int argc, char **argv) {
  return RunProgram(argc, argv);
}

#include "app/cli.h"

int main(int argc, char** argv) { return tellurim::run_cli(argc, argv); }

#include <cstdio>

#include "cli.h"

int main(int argc, char** argv) { return RunCli(argc, argv, stdout, stderr); }

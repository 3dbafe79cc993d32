// veldemodb: builds the demo database. Usage: veldemodb [file] [--orders N]
#include <iostream>

#include "apps/veldemodb/DemoDbProgram.h"

int main(int argc, char** argv) { return veldemodb::Run(argc, argv, std::cout, std::cerr); }

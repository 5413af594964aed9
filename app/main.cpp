#include "app/run_varnel.h"

int main(int argc, char** argv) { return varnel::RunVarnel(argc, argv); }

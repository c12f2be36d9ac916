#include "driver/entry.h"

int main(int argc, char** argv) { return sb::Main(argc, argv); }

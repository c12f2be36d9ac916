#include <iostream>

#include "driver/entry.h"

int main(int argc, char** argv) {
  return sb::Main(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

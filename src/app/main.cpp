#include <iostream>

#include "app/StartMode.h"

int main(int argc, char** argv) {
  return zyl::app::Main(argc, argv, std::cout, std::cerr);
}

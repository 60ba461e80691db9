#include <iostream>

#include "app/Front.h"
#include "app/ModesLibrary.h"

int main(int argc, char** argv) {
  return zyl::app::FrontMain(argc, argv, std::cout, std::cerr, [](int n, const char* const* v) {
    return zyl::app::RunModesLibrary(n, v, std::cerr);
  });
}

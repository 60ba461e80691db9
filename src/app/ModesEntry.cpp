#include "app/ModesEntry.h"

#include <exception>
#include <iostream>

#include "app/StartMode.h"

extern "C" __attribute__((visibility("default"))) int zyl_modes_main(int argc,
                                                                     const char* const* argv) {
  try {
    return zyl::app::Main(argc, argv, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "zyl: " << e.what() << "\n";
    return 1;
  }
}

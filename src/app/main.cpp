#include <iostream>

int main(int argc, char** argv) {
  std::cerr << "zyl: not available in this build\n";
  return 1;
}

// zyl-reader: the reader process of zyl. The program starts it with its end of a socket as
// descriptor 3 and hands it documents and archives to read (extract/ReaderProcess.h); it is not
// meant to be started by hand.
#include <sys/socket.h>
#include <sys/stat.h>

#include <cstdio>

#include "extract/process/ReaderProcess.h"

int main() {
  struct stat st {};
  if (::fstat(3, &st) != 0 || !S_ISSOCK(st.st_mode)) {
    std::fputs("zyl-reader is started by zyl itself; it has nothing to do on its own.\n", stderr);
    return 2;
  }
  return zyl::extract::ServeReaderJobs(3);
}

// The reader process's own side (the zyl-reader program): it answers the jobs the program sends
// over its socket, running each job in a process forked for it, so that a library that
// crashes, hangs or corrupts its memory on a damaged file fails only that job.
#pragma once

namespace zyl::extract {

// Answers jobs on the socket until the program closes its end; returns the exit status of the
// reader process (0 then). Meant to be the whole of a freshly started program: it closes every
// other descriptor and points the standard streams at nothing.
int ServeReaderJobs(int socket);

}  // namespace zyl::extract

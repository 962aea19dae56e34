// The line between the host's contract and our additions to it. A real host's
// NimboCore, KivVizCore and KivVizOpenGL offer the contract's operations and
// nothing more; ours also offer what nimbo-view and the tests need. Every such
// addition in include/host/ sits in a section
//
//   #if NIMBO_HOST_EXTENSIONS
//   ...
//   #endif
//
// The plug-in must build with NIMBO_HOST_EXTENSIONS defined to 0 (.ci/contract
// checks this); everything else builds with the default, 1.
#ifndef NIMBO_INCLUDE_HOST_HOSTEXTENSIONS_H
#define NIMBO_INCLUDE_HOST_HOSTEXTENSIONS_H

#ifndef NIMBO_HOST_EXTENSIONS
#define NIMBO_HOST_EXTENSIONS 1
#endif

#endif

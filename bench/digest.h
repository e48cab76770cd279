#pragma once

// Prints one checksum per scenario of fixed-clock engine calls (BP, QP, CALCERR on small and
// large shapes, with the caller's arrays changed or left alone between calls). Two engine
// builds that print the same lines give bit-identical results on this processor: run the same
// benchmark binary with LD_LIBRARY_PATH pointing at each build's libaxona32.so.
int printDigests();

#pragma once
// Marks the flat API for export from the shared library.
#if defined(EMBERLINE_STATIC)
#define EMBERLINE_EXPORT
#else
#define EMBERLINE_EXPORT __attribute__((visibility("default")))
#endif

/* The one translation unit that holds the Vorbis decoder's code. */
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <stb_vorbis.h>

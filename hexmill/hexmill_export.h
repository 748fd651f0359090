// Symbol visibility for libhexmill: the library is built with hidden
// visibility, and only what carries HEXMILL_EXPORT is seen by its users.
#pragma once

#if defined(_WIN32)
#  if defined(HEXMILL_BUILDING)
#    define HEXMILL_EXPORT __declspec(dllexport)
#  else
#    define HEXMILL_EXPORT __declspec(dllimport)
#  endif
#else
#  define HEXMILL_EXPORT __attribute__((visibility("default")))
#endif

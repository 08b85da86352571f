# FFTW (single precision with its threads library, and double precision) is the yardstick of the
# transform benchmark only; the program never links it. Without it this one
# benchmark is left out of the build.
pkg_check_modules(FFTW3F QUIET IMPORTED_TARGET fftw3f)
pkg_check_modules(FFTW3 QUIET IMPORTED_TARGET fftw3)
find_library(FFTW3F_THREADS_LIBRARY NAMES fftw3f_threads HINTS ${FFTW3F_LIBRARY_DIRS})
if(FFTW3F_FOUND AND FFTW3_FOUND AND FFTW3F_THREADS_LIBRARY)
  target_link_libraries(${name} PRIVATE ${FFTW3F_THREADS_LIBRARY} PkgConfig::FFTW3F PkgConfig::FFTW3)
else()
  message(STATUS "FFTW3 (single and double precision) not found: ${name} is not built (install libfftw3-dev)")
  set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL TRUE)
endif()

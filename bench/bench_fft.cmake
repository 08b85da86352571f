# FFTW is the yardstick of the transform benchmark only; the program never links it.
pkg_check_modules(FFTW3F REQUIRED IMPORTED_TARGET fftw3f)
find_library(FFTW3F_THREADS_LIBRARY NAMES fftw3f_threads HINTS ${FFTW3F_LIBRARY_DIRS} REQUIRED)
target_link_libraries(${name} PRIVATE ${FFTW3F_THREADS_LIBRARY} PkgConfig::FFTW3F)

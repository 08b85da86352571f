# Sources generated at build time, appended to SONICLOOM_GENERATED_SOURCES.

# The 8 x 16 screen font, converted from a packaged console font
# (console-setup-linux).
set(SONICLOOM_CONSOLE_FONT "/usr/share/consolefonts/Uni2-TerminusBold16.psf.gz"
    CACHE FILEPATH "8 x 16 PC screen font (PSF1 or PSF2, optionally gzipped) for the screen text")
if(NOT EXISTS "${SONICLOOM_CONSOLE_FONT}")
  message(FATAL_ERROR "Console font ${SONICLOOM_CONSOLE_FONT} not found: install console-setup-linux "
                      "(bash scripts/setup.sh) or set SONICLOOM_CONSOLE_FONT")
endif()
add_executable(make_console_font tools/make_console_font.cpp)
set(CONSOLE_FONT_PSF ${CMAKE_CURRENT_BINARY_DIR}/generated/console_font.psf)
set(CONSOLE_FONT_CPP ${CMAKE_CURRENT_BINARY_DIR}/generated/console_font_data.cpp)
add_custom_command(
  OUTPUT ${CONSOLE_FONT_CPP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/generated
  COMMAND ${CMAKE_COMMAND} -DINPUT=${SONICLOOM_CONSOLE_FONT} -DOUTPUT=${CONSOLE_FONT_PSF}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/Gunzip.cmake
  COMMAND make_console_font ${CONSOLE_FONT_PSF} ${CONSOLE_FONT_CPP}
  DEPENDS make_console_font ${SONICLOOM_CONSOLE_FONT} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/Gunzip.cmake
  COMMENT "Converting the console font")
list(APPEND SONICLOOM_GENERATED_SOURCES ${CONSOLE_FONT_CPP})

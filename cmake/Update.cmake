# ---------------------------------------------------------------------------
# Web update: its addresses, the public key updates are checked against,
# libsodium for the signature and libcurl for HTTPS in both backends.
# (Its sources live in src/update/ and src/platform/sdl/http_curl.cpp.)
set(SONICLOOM_UPDATE_PRIMARY_URL "https://sonic-loom.org/update" CACHE STRING
    "Short address that redirects to the update file")
set(SONICLOOM_UPDATE_FALLBACK_URL "https://downloads.sonic-loom.org/SonicLoom.update" CACHE STRING
    "Direct HTTPS address of the update file")
set(SONICLOOM_UPDATE_PUBLIC_KEY "${CMAKE_CURRENT_SOURCE_DIR}/keys/update_dev.pub" CACHE FILEPATH
    "Ed25519 public key (64 hexadecimal digits) that updates must be signed for")
# Test builds take SONICLOOM_UPDATE_URL and SONICLOOM_UPDATE_CA from the
# environment; release builds never do.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  set(update_hooks_default OFF)
else()
  set(update_hooks_default ON)
endif()
option(SONICLOOM_UPDATE_TEST_HOOKS "Let the environment choose the update address and CA (tests only)"
       ${update_hooks_default})

file(READ "${SONICLOOM_UPDATE_PUBLIC_KEY}" SONICLOOM_UPDATE_KEY_HEX)
string(STRIP "${SONICLOOM_UPDATE_KEY_HEX}" SONICLOOM_UPDATE_KEY_HEX)
if(NOT SONICLOOM_UPDATE_KEY_HEX MATCHES "^[0-9a-fA-F]+$")
  message(FATAL_ERROR "${SONICLOOM_UPDATE_PUBLIC_KEY} does not hold a hexadecimal Ed25519 public key")
endif()
string(LENGTH "${SONICLOOM_UPDATE_KEY_HEX}" update_key_digits)
if(NOT update_key_digits EQUAL 64)
  message(FATAL_ERROR "${SONICLOOM_UPDATE_PUBLIC_KEY} does not hold a hexadecimal Ed25519 public key")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${SONICLOOM_UPDATE_PUBLIC_KEY}")
configure_file(cmake/update_build_settings.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/update/update_build_settings.h @ONLY)
target_include_directories(layer_update PUBLIC ${CMAKE_CURRENT_BINARY_DIR}/generated)

pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
pkg_check_modules(CURL REQUIRED IMPORTED_TARGET libcurl)
target_link_libraries(layer_update PUBLIC PkgConfig::SODIUM)
target_link_libraries(sonicloom_platform_sdl PUBLIC PkgConfig::CURL)
if(SONICLOOM_UPDATE_TEST_HOOKS)
  target_compile_definitions(layer_update PUBLIC SONICLOOM_UPDATE_TEST_HOOKS=1)
  target_compile_definitions(sonicloom_platform_sdl PRIVATE SONICLOOM_UPDATE_TEST_HOOKS=1)
  target_compile_definitions(sonicloom_platform_headless PRIVATE SONICLOOM_UPDATE_TEST_HOOKS=1)
endif()

# The tests reach a real HTTPS server on this machine, so the headless
# backend has the same libcurl access, limited to loopback addresses.
target_sources(sonicloom_platform_headless PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/sdl/http_curl.cpp)
target_link_libraries(sonicloom_platform_headless PUBLIC PkgConfig::CURL)
target_compile_definitions(sonicloom_platform_headless PRIVATE SONICLOOM_HTTP_LOOPBACK_ONLY=1)

# Packs and signs an update file by hand (see README, "Making a release").
add_executable(make_update tools/make_update.cpp)
target_link_libraries(make_update PRIVATE sonicloom_core)

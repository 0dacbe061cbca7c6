# Where JUCE comes from, and the one place that holds JUCE's configuration flags.
#
# By default the build uses the JUCE that Debian installs (find_package). Set
# VANTREL_JUCE_DIR to a JUCE checkout to build against that instead (the macOS
# and AAX builds use a newer JUCE).

set(VANTREL_JUCE_DIR "" CACHE PATH "A JUCE checkout to build against instead of the installed JUCE")
set(VANTREL_AAX_SDK_DIR "" CACHE PATH "Path to the AAX SDK; the AAX format is built when set")

if(VANTREL_JUCE_DIR)
    add_subdirectory("${VANTREL_JUCE_DIR}" "${CMAKE_BINARY_DIR}/juce" EXCLUDE_FROM_ALL)
else()
    find_package(JUCE CONFIG REQUIRED)
endif()

if(VANTREL_AAX_SDK_DIR)
    juce_set_aax_sdk_path("${VANTREL_AAX_SDK_DIR}")
endif()

# JUCE configuration: no web browser, no curl, no splash screen, strict settings.
add_library(vantrel_juce_config INTERFACE)
target_compile_definitions(vantrel_juce_config INTERFACE
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_MODAL_LOOPS_PERMITTED=0
    JUCE_USE_FLAC=1
    JUCE_USE_OGGVORBIS=0
    JUCE_USE_MP3AUDIOFORMAT=0
    JUCE_USE_LAME_AUDIO_FORMAT=0
    JUCE_USE_WINDOWS_MEDIA_FORMAT=0)

# Debian's JUCE strips its bundled FLAC code: the system library provides it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(VANTREL_FLAC REQUIRED IMPORTED_TARGET flac)
target_link_libraries(vantrel_juce_config INTERFACE PkgConfig::VANTREL_FLAC)

# Warnings for the project's own sources (JUCE's own code is not held to -Werror).
add_library(vantrel_warnings INTERFACE)
target_compile_options(vantrel_warnings INTERFACE -Wall -Wextra -Wno-unused-parameter)

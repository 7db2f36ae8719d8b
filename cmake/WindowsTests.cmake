# GoogleTest for the Windows builds, compiled from Debian's sources with the cross compilers, and the
# rules for running Windows test programs under Wine.
include(GoogleTest)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

foreach(lib gtest gtest_main gmock gmock_main)
  if(NOT TARGET GTest::${lib})
    add_library(GTest::${lib} ALIAS ${lib})
  endif()
endforeach()

# Only the x86_64 build runs here (through wine64); this kernel runs no 32-bit code. The i686 test
# programs are still built, so the core is compiled for 32 bits, but no test of them is registered.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TARVINEL_RUN_WINDOWS_TESTS ON)
else()
  set(TARVINEL_RUN_WINDOWS_TESTS OFF)
  function(gtest_discover_tests)
  endfunction()
endif()

# Under Wine, LANG picks the ANSI code page: the Windows tests run at 936 and again at 1252.
set(TARVINEL_LOCALE_936 zh_CN.UTF-8)
set(TARVINEL_LOCALE_1252 C.UTF-8)

# Stand-ins for the sound card and the browser, in the calling folder's build tree. AUDIO_VAR names
# a folder whose home/.asoundrc makes ALSA's file device the default, writing exactly the PCM played
# into audio.raw there (give HOME=<folder>/home and turn off winepulse.drv). BROWSER_VAR names a
# folder whose fake-browser records the address the shell hands it in opened.txt there.
function(tarvinel_sound_and_browser_stand_ins audio_var browser_var)
  set(audio ${CMAKE_CURRENT_BINARY_DIR}/audio)
  file(WRITE ${audio}/home/.asoundrc
    "pcm.!default { type file slave.pcm \"null\" file \"${audio}/audio.raw\" format \"raw\" }\n")
  set(browser ${CMAKE_CURRENT_BINARY_DIR}/browser)
  file(WRITE ${browser}/fake-browser "#!/bin/sh\nprintf '%s\\n' \"$@\" > '${browser}/opened.txt'\n")
  file(CHMOD ${browser}/fake-browser
    PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(${audio_var} ${audio} PARENT_SCOPE)
  set(${browser_var} ${browser} PARENT_SCOPE)
endfunction()

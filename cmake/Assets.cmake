# What Purgix.exe finds beside itself when it runs: the Skin folder, the default
# Config.inf that names the skin a new user sees, and Help.chm. Laid out in the
# build folder so that tools/run shows the shipped look and tools/package zips
# exactly what was built. Purgix depends on it, so building Purgix lays it out.
find_program(PYTHON3 python3 REQUIRED)
find_program(PURGIX_CHMCMD chmcmd REQUIRED)

set(purgix_layout ${PROJECT_BINARY_DIR})
set(purgix_layout_files)

# Each file is copied only when its content changed; the touch then marks the
# copy done, so an unchanged skin is neither rewritten nor looked at again.
function(purgix_copy_to_layout source destination)
  add_custom_command(OUTPUT ${destination}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${destination}
    COMMAND ${CMAKE_COMMAND} -E touch_nocreate ${destination}
    DEPENDS ${source}
    COMMENT "Laying out ${destination}"
    VERBATIM)
  set(purgix_layout_files ${purgix_layout_files} ${destination} PARENT_SCOPE)
endfunction()

file(GLOB purgix_skin_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/skins/*)
list(SORT purgix_skin_sources)
foreach(source IN LISTS purgix_skin_sources)
  get_filename_component(name ${source} NAME)
  purgix_copy_to_layout(${source} ${purgix_layout}/Skin/${name})
endforeach()

# The Skins menu lists the .ini files in name order and a new user gets the
# first, so the default is whichever skin sorts first.
file(GLOB purgix_skin_inis RELATIVE ${PROJECT_SOURCE_DIR}/skins CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/skins/*.ini)
list(SORT purgix_skin_inis CASE INSENSITIVE)
list(LENGTH purgix_skin_inis purgix_skin_count)
if(purgix_skin_count EQUAL 0)
  message(FATAL_ERROR "No skins in ${PROJECT_SOURCE_DIR}/skins: the program needs at least one")
endif()
list(GET purgix_skin_inis 0 PURGIX_DEFAULT_SKIN)
# Written at configure time only when it changes; the program reads it with
# the Windows profile functions, hence CRLF.
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/assets/Config.inf
  CONTENT "[CONFIGSKIN]\nSKIN=${PURGIX_DEFAULT_SKIN}\n" NEWLINE_STYLE CRLF)
# Once the program has saved a user's choice over it (the copy is newer than the
# staged default), the copy is left alone until the default itself changes.
purgix_copy_to_layout(${PROJECT_BINARY_DIR}/assets/Config.inf ${purgix_layout}/Config.inf)

file(GLOB purgix_help_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/help/*)
add_custom_command(OUTPUT ${purgix_layout}/Help.chm
  COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/tools/build-help ${PROJECT_SOURCE_DIR}/help
          ${purgix_layout}/Help.chm --chmcmd ${PURGIX_CHMCMD}
  DEPENDS ${purgix_help_sources} ${PROJECT_SOURCE_DIR}/tools/build-help
  COMMENT "Compiling Help.chm"
  VERBATIM)
list(APPEND purgix_layout_files ${purgix_layout}/Help.chm)

add_custom_target(purgix_layout DEPENDS ${purgix_layout_files})
add_dependencies(Purgix purgix_layout)

# The shipped skins and the laid-out folder, checked as the program will read them.
add_test(NAME assets COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/tools/check-assets
  --skins ${PROJECT_SOURCE_DIR}/skins --help-project ${PROJECT_SOURCE_DIR}/help --layout ${purgix_layout})
set_tests_properties(assets PROPERTIES TIMEOUT 120)
# The committed art must be what tools/make-skins.py draws, or the next change
# to it would silently undo a hand edit (or ship stale pictures).
add_test(NAME skin-art COMMAND ${PYTHON3} ${PROJECT_SOURCE_DIR}/tools/make-skins.py --check)
set_tests_properties(skin-art PROPERTIES TIMEOUT 300)

# The zip tools/package makes is the same bytes for the same sources only if
# Purgix.exe is: no link time in its header.
target_link_options(Purgix PRIVATE -Wl,--no-insert-timestamp)
# The Win32 tier applies the shipped skins from beside its own program.
add_dependencies(win32_tests purgix_layout)

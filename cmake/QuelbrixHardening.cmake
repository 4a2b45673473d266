# Debian's hardening flags, as `dpkg-buildflags` gives them with DEB_BUILD_MAINT_OPTIONS
# hardening=+all: _FORTIFY_SOURCE, the strong stack protector, format checks, read-only
# relocations and immediate binding. Only these are taken from it; optimisation and debug
# information stay with the build type. Every target gets them, the tests too, so that the
# programs tested are built as the package's. Not for the Sanitize build type (the sanitizers
# replace the fortified functions) nor without optimisation (_FORTIFY_SOURCE needs it).

option(QUELBRIX_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)

if(QUELBRIX_HARDENING AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
  find_program(QUELBRIX_DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT QUELBRIX_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found (package dpkg-dev): built without hardening flags")
  else()
    set(hardening_compile)
    set(hardening_link)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
      execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${QUELBRIX_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
      separate_arguments(flags UNIX_COMMAND "${flags}")
      foreach(flag IN LISTS flags)
        if(flag MATCHES "^-D_FORTIFY_SOURCE|^-fstack-protector|^-fstack-clash-protection|^-fcf-protection|^-Wformat|^-Werror=format-security")
          list(APPEND hardening_compile ${flag})
        elseif(flag MATCHES "^-Wl,-z,")
          list(APPEND hardening_link ${flag})
        endif()
      endforeach()
    endforeach()
    list(REMOVE_DUPLICATES hardening_compile)
    list(REMOVE_DUPLICATES hardening_link)
    add_compile_options(${hardening_compile})
    add_link_options(${hardening_link})
    message(STATUS "Hardening: ${hardening_compile} ${hardening_link}")
  endif()
endif()

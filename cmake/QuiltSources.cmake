# Collects the sources of the subsystem folders.
#   Win32 code:    a .cpp that directly includes <windows.h>  -> Windows only
#   host-only:     a .cpp named *Host.cpp                       -> host only
#   platform side: a .cpp named *Win.cpp                        -> quiltcore, Windows only
#   portable code: every other .cpp                            -> both
set(QUILT_SUBSYSTEMS app ui store backup secure pagelist editor settings search io help sync)

function(quilt_collect_sources root portable_var win_var host_var)
  set(portable "")
  set(win "")
  set(host "")
  foreach(dir ${QUILT_SUBSYSTEMS})
    file(GLOB files CONFIGURE_DEPENDS "${root}/${dir}/*.cpp")
    foreach(f ${files})
      get_filename_component(name "${f}" NAME)
      file(STRINGS "${f}" winlines REGEX "^[ \t]*#[ \t]*include[ \t]*<windows\\.h>")
      if("${dir}/${name}" STREQUAL "app/main.cpp")
        # the program's entry point is added to quiltpad.exe alone
      elseif(name MATCHES "Host\\.cpp$")
        list(APPEND host "${f}")
      elseif(WIN32 AND name MATCHES "Win\\.cpp$")
        # the Windows side of a portable module's small platform interface
        # (AtomicFileWin.cpp, CryptoWin.cpp): portable callers need it in quiltcore
        list(APPEND portable "${f}")
      elseif(winlines)
        list(APPEND win "${f}")
      else()
        list(APPEND portable "${f}")
      endif()
    endforeach()
  endforeach()
  set(${portable_var} "${portable}" PARENT_SCOPE)
  set(${win_var} "${win}" PARENT_SCOPE)
  set(${host_var} "${host}" PARENT_SCOPE)
endfunction()

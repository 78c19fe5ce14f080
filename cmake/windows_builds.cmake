# The Windows program, cross-built from this same tree with MinGW beside
# the native build: i686 is the product; x86_64 is what the Wine tests run
# on hosts whose kernel cannot execute 32-bit programs. Each build also
# makes the Wine tests' driver program.
#
# Sets WINDOWS_BUILD_ARCHES and, for each arch in it, WINDOWS_BUILD_DIR_<arch>.
option(WINDOWS_BUILDS "Cross-build the Windows program with MinGW (i686, x86_64)" ON)

set(WINDOWS_BUILD_ARCHES "")
if(WINDOWS_BUILDS AND NOT WIN32)
  include(ExternalProject)
  foreach(arch i686 x86_64)
    find_program(MINGW_CXX_${arch} ${arch}-w64-mingw32-g++)
    if(NOT MINGW_CXX_${arch})
      message(STATUS "Windows ${arch} build: skipped, ${arch}-w64-mingw32-g++ not found")
      continue()
    endif()
    set(WINDOWS_BUILD_DIR_${arch} ${CMAKE_BINARY_DIR}/windows-${arch})
    ExternalProject_Add(windows_${arch}
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${WINDOWS_BUILD_DIR_${arch}}
      CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/toolchain-mingw.cmake
        -DMINGW_ARCH=${arch}
        -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DBUILD_TESTING=OFF
        --no-warn-unused-cli
      BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target testpanel panel_driver
      INSTALL_COMMAND ""
      # Sources change under it: let its own build decide what is stale.
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS
        ${WINDOWS_BUILD_DIR_${arch}}/testpanel/testpanel.exe
        ${WINDOWS_BUILD_DIR_${arch}}/tests/e2e_wine/panel_driver.exe)
    list(APPEND WINDOWS_BUILD_ARCHES ${arch})
  endforeach()
endif()

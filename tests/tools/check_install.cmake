# Installs the build into a scratch DESTDIR and checks the files a desktop program needs; the
# installed program must find its demo race with nothing but HOME, PATH and the offscreen
# platform. Then cpack makes the Debian package, and dpkg-deb must list the same files and name
# the Qt packages among its dependencies.
# cmake -DBUILD=<build dir> -DWORK=<scratch dir> -P check_install.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

set(ENV{DESTDIR} ${WORK}/root)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
                RESULT_VARIABLE rc OUTPUT_QUIET)
unset(ENV{DESTDIR})
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(expected
    usr/bin/brisko
    usr/bin/brisko-analyse
    usr/bin/brisko-coastline
    usr/share/applications/brisko.desktop
    usr/share/icons/hicolor/scalable/apps/brisko.svg
    usr/share/brisko/demo/RaceAdmin/enoshima_0607.txt
    usr/share/brisko/demo/GPSDAT/JPN4012.trk
    usr/share/brisko/demo/gun.wav)
foreach(f ${expected})
    if(NOT EXISTS ${WORK}/root/${f})
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()

file(READ ${WORK}/root/usr/share/applications/brisko.desktop desktop)
foreach(line "Name=Brisko" "Name[ja]=ブリスコ" "Exec=brisko" "Icon=brisko")
    string(FIND "${desktop}" "${line}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "brisko.desktop lacks ${line}")
    endif()
endforeach()

# A sanitizer build's program keeps the sanitizer's settings of this run.
set(sanitizer_settings)
foreach(name ASAN_OPTIONS UBSAN_OPTIONS TSAN_OPTIONS LSAN_OPTIONS)
    if(DEFINED ENV{${name}})
        list(APPEND sanitizer_settings "${name}=$ENV{${name}}")
    endif()
endforeach()
execute_process(COMMAND env -i HOME=${WORK} PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen
                        ${sanitizer_settings} ${WORK}/root/usr/bin/brisko --check
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(FIND "${out}" "app_dir: ${WORK}/root/usr/share/brisko/demo" at)
if(NOT rc EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "the installed program did not open its demo (${rc}):\n${out}\n${err}")
endif()

# The Debian package.
find_program(DPKG_DEB dpkg-deb)
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NOT DPKG_DEB OR NOT DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-deb and dpkg-shlibdeps (package dpkg-dev) are needed")
endif()
execute_process(COMMAND cpack -G DEB -B ${WORK}/pkg WORKING_DIRECTORY ${BUILD}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB debs ${WORK}/pkg/*.deb)
list(LENGTH debs count)
if(NOT rc EQUAL 0 OR NOT count EQUAL 1)
    message(FATAL_ERROR "cpack -G DEB failed (${rc}):\n${out}\n${err}")
endif()
execute_process(COMMAND ${DPKG_DEB} -c ${debs} OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
foreach(f ${expected})
    string(FIND "${listing}" "./${f}" at)
    if(NOT rc EQUAL 0 OR at EQUAL -1)
        message(FATAL_ERROR "the package lacks ${f}:\n${listing}")
    endif()
endforeach()
execute_process(COMMAND ${DPKG_DEB} -f ${debs} Depends OUTPUT_VARIABLE depends)
foreach(p libqt6widgets6 libqt6multimedia6 libc6)
    string(FIND "${depends}" "${p}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the package does not depend on ${p}: ${depends}")
    endif()
endforeach()
file(SIZE ${debs} size)
message(STATUS "${debs}: ${size} bytes; Depends: ${depends}")
